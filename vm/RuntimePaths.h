// The process environment prepared for the chosen runtime before its VM
// library is loaded: TALA_JVM_PATH, TALA_JVM_HOME, the library path option and
// the process's Path (PATH on POSIX).
#pragma once

#include "os/PathStyle.h"

#include <string>
#include <string_view>

namespace tala {

class Launcher;

// Sets the variables and Path, and appends "-Djava.library.path=..." to the
// launcher's VM options when "Library Path" is set. Reports nothing.
void ApplyRuntimePaths(Launcher& launcher);

// The path less its last count components (a path without a separator stays).
std::u16string StripPathComponents(std::u16string_view path, int count,
                                   os::PathStyle style = os::kHostPathStyle);

// The runtime's home folder: the VM library path less its layout folder, kind
// folder and file (...\jre\bin\server\jvm.dll gives ...\jre; .../lib/server/libjvm.so
// gives the folder above lib, and so does the older .../lib/amd64/server/libjvm.so).
std::u16string RuntimeHomeOf(std::u16string_view vmLibraryPath,
                             os::PathStyle style = os::kHostPathStyle);

// The name of the variable that lists the folders programs and libraries are
// looked for in: "Path" on Windows, "PATH" on POSIX.
std::u16string_view PathVariableName(os::PathStyle style = os::kHostPathStyle);

// The library path before expansion: "Library Path", the executable's folder
// with its trailing separator, ".", a reference to the current Path, and the
// runtime's lib folder, separated by the platform's list separator. The ";"
// between the entries of a setting becomes ":" on POSIX.
std::u16string ComposeLibraryPath(std::u16string_view libraryPath,
                                  std::u16string_view executableFolder,
                                  std::u16string_view runtimeHome,
                                  os::PathStyle style = os::kHostPathStyle);

// The new Path before expansion: "System Path", a reference to the current
// Path, and the runtime's bin folder.
std::u16string ComposeSystemPath(std::u16string_view systemPath, std::u16string_view binFolder,
                                 os::PathStyle style = os::kHostPathStyle);

} // namespace tala
