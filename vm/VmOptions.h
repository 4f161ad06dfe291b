// The VM options of the Java application: the class path (wildcard entries
// expanded by a directory search), the "Virtual Machine Parameters" split into
// single options, each expanded for %NAME% references and made narrow.
#pragma once

#include "os/FileSearch.h"
#include "os/PathStyle.h"
#include "settings/StringRules.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tala {

class Launcher;

// What one reading of the settings gives the Java start, each from a function
// named for it: appends "-Djava.class.path=..." and the parameters to the
// launcher's VM options, sets the Java thread's stack size (the last "-Xss"
// parameter), reads the output and error files, and appends the "Cmd" words
// to the program arguments. False when the settings file cannot be located,
// or when the class path comes out empty (message 209 is shown, nothing is
// appended).
bool BuildVmOptions(Launcher& launcher);

// The same for an executable at modulePath.
bool BuildVmOptionsFor(Launcher& launcher, const std::u16string& modulePath);

// How the class path entries of one executable are resolved.
struct ClassPathRules {
    std::u16string modulePath;
    os::PathStyle style = os::kHostPathStyle;
    // The names a directory search finds for a pattern, in the search's order.
    std::function<std::vector<std::u16string>(const std::u16string& pattern)> search =
        os::FindMatchingNames;
};

// The class path of a "Class Path" value (entries separated by ";"): every
// entry, expanded for %NAME% references, either as written (absolute, without
// "*") or as its directory search finds it, each followed by the platform's
// list separator. With embeddedJar the executable itself comes first.
std::u16string BuildClassPath(const ClassPathRules& rules, std::u16string_view value,
                              bool embeddedJar);

// Appends the names a directory search finds for the entry, with the entry's
// folder in front and the list separator behind each. A relative entry is
// searched beside the executable: on Windows it is put directly behind the
// executable's folder (so "\lib\*.jar" names the folder lib), on POSIX behind
// the folder and one "/".
void ResolveClassPathEntry(const ClassPathRules& rules, const std::u16string& entry,
                           std::u16string& classPath);

// Splits at spaces outside double-quoted runs.
StringList SplitVmParameters(std::u16string_view text);

// Removes the double quotes of quoted runs in one parameter.
void RemoveQuotes(std::u16string& parameter);

// Replaces %NAME% references with the values of environment variables; an
// unset variable stays as written.
void ExpandEnvironment(std::u16string& text);

// The narrow form the VM receives: the thread's ANSI code page on Windows,
// UTF-8 elsewhere.
std::string ToAnsi(const std::u16string& text);

} // namespace tala
