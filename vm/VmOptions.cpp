#include "vm/VmOptions.h"

#include "launcher/CommandLine.h"
#include "launcher/ErrorReport.h"
#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/EnvironmentExpansion.h"
#include "os/PathList.h"
#include "os/PathText.h"
#include "os/TextConversion.h"
#include "settings/EmbeddedSettingsText.h"
#include "settings/LayeredSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"
#include "vm/MemoryOptions.h"

#include <optional>

namespace tala {
namespace {

using namespace keys;

constexpr std::u16string_view kStackSizeOption = u"-Xss";

// The pattern a relative entry is searched with: beside the executable.
std::u16string RelativePattern(const ClassPathRules& rules, const std::u16string& entry)
{
    const std::u16string_view folder = os::FolderOf(rules.modulePath, rules.style);
    // Windows entries bring their own leading backslash; POSIX entries are
    // written without one, since a leading "/" makes them absolute. An empty
    // entry names the executable's folder itself on both.
    if (rules.style == os::PathStyle::Posix && !entry.empty()) return os::JoinPath(folder, entry, rules.style);
    return std::u16string(folder) + entry;
}

// Each parameter without its quotes, rewritten when in the percentage form.
StringList VmParameters(std::u16string_view text)
{
    StringList parameters = SplitVmParameters(text);
    std::optional<MemoryBase> memory; // asked for only when a parameter needs it
    for (std::u16string& parameter : parameters) {
        RemoveQuotes(parameter);
        if (IsPercentMemoryOption(parameter)) {
            if (!memory) memory = SystemMemoryBase();
            RewriteMemoryOption(parameter, *memory);
        }
    }
    return parameters;
}

// The Java thread's stack size the last "-Xss" parameter gives; 0 without one.
std::uint64_t JavaThreadStackSize(const StringList& parameters)
{
    std::uint64_t size = 0;
    for (const std::u16string& parameter : parameters) {
        if (parameter.starts_with(kStackSizeOption)) {
            size = ReadStackSize(std::u16string_view(parameter).substr(kStackSizeOption.size()));
        }
    }
    return size;
}

std::u16string ExpandedFileName(LayeredSettings& layered, std::u16string_view key)
{
    std::u16string name = layered.Get(kApplication, key);
    if (!name.empty()) ExpandEnvironment(name);
    return name;
}

void ReadOutputFiles(LayeredSettings& layered, LauncherSettings& settings)
{
    settings.outputFile = ExpandedFileName(layered, kOutputFile);
    settings.outputAppend = IsExactly(layered.Get(kApplication, kOutputAppend), u"yes");
    settings.errorFile = ExpandedFileName(layered, kErrorFile);
    settings.errorAppend = IsExactly(layered.Get(kApplication, kErrorAppend), u"yes");
}

// The "Cmd" words, which go behind the command-line arguments; empty words
// are dropped.
StringList CmdWords(LayeredSettings& layered)
{
    StringList words;
    std::u16string cmd = layered.Get(kApplication, kCmd);
    if (cmd.empty()) return words;
    ExpandEnvironment(cmd);
    SplitCommandLine(cmd, words);
    std::erase(words, std::u16string());
    return words;
}

} // namespace

bool BuildVmOptions(Launcher& launcher)
{
    std::u16string modulePath;
    if (!GetModulePathOrReport(modulePath, launcher.splashWindow)) return false;
    return BuildVmOptionsFor(launcher, modulePath);
}

bool BuildVmOptionsFor(Launcher& launcher, const std::u16string& modulePath)
{
    const auto settingsFilePath = SettingsFilePathFor(modulePath);
    if (!settingsFilePath) return false;
    LayeredSettings layered(*settingsFilePath,
                            LoadEmbeddedSettingsText(launcher.settings.upgradeCode));

    ClassPathRules rules;
    rules.modulePath = modulePath;
    const std::u16string classPath =
        BuildClassPath(rules, layered.Get(kClassPathSection, kClassPath),
                       IsCaseless(layered.Get(kApplication, kEmbeddedJar), u"Yes"));
    if (classPath.empty()) {
        ShowErrorBox(launcher.splashWindow, MessageId::ClassPathMissing);
        return false;
    }

    launcher.classPath = classPath;
    StringList options = VmParameters(layered.Get(kJavaRuntimeEnvironment, kVirtualMachineParameters));
    launcher.javaThreadStackSize = JavaThreadStackSize(options);
    options.insert(options.begin(), u"-Djava.class.path=" + classPath);
    // Expanded only now: a percentage or "-Xss" form behind a variable is
    // passed on as it expands. The class path entries are expanded a second time.
    for (std::u16string& option : options) {
        ExpandEnvironment(option);
        launcher.vmOptions.Append(ToAnsi(option));
    }

    ReadOutputFiles(layered, launcher.settings);
    const StringList cmdWords = CmdWords(layered);
    launcher.programArguments.insert(launcher.programArguments.end(), cmdWords.begin(), cmdWords.end());
    return true;
}

std::u16string BuildClassPath(const ClassPathRules& rules, std::u16string_view value,
                              bool embeddedJar)
{
    const char16_t listSeparator = os::PathListSeparator(rules.style);
    StringList entries;
    SplitString(value, u";", entries);
    std::u16string classPath;
    for (std::u16string& entry : entries) {
        ExpandEnvironment(entry);
        const std::size_t before = classPath.size();
        // Only "*" makes a wildcard entry; "?" alone leaves an absolute entry as written.
        if (entry.find(u'*') == std::u16string::npos &&
            os::IsAbsolutePath(entry, rules.style)) {
            classPath += entry;
            classPath += listSeparator;
        } else {
            ResolveClassPathEntry(rules, entry, classPath);
        }
        trace::Note("class path", u"entry", entry, u"->",
                    classPath.size() == before ? std::u16string_view(u"dropped: nothing found")
                                               : std::u16string_view(classPath).substr(before));
    }
    if (embeddedJar) classPath = rules.modulePath + listSeparator + classPath;
    return classPath;
}

void ResolveClassPathEntry(const ClassPathRules& rules, const std::u16string& entry,
                           std::u16string& classPath)
{
    const std::u16string pattern =
        os::IsAbsolutePath(entry, rules.style) ? entry : RelativePattern(rules, entry);
    const std::u16string_view prefix = os::FolderWithSeparatorOf(pattern, rules.style);
    const char16_t listSeparator = os::PathListSeparator(rules.style);
    // Files and folders alike, in the search's order: nothing is sorted or filtered.
    for (const std::u16string& name : rules.search(pattern)) {
        classPath += prefix;
        classPath += name;
        classPath += listSeparator;
    }
}

StringList SplitVmParameters(std::u16string_view text)
{
    StringList tokens;
    std::size_t position = text.find_first_not_of(u' ');
    while (position != std::u16string_view::npos) {
        const std::size_t start = position;
        while (position < text.size() && text[position] != u' ') {
            if (text[position] != u'"') {
                ++position;
                continue;
            }
            std::size_t close = text.find(u'"', position + 1);
            // A quote without a partner protects nothing: the next space ends the token.
            if (close == std::u16string_view::npos) {
                ++position;
                continue;
            }
            if (close + 1 < text.size() && text[close + 1] == u'"') ++close;
            position = close + 1;
        }
        tokens.emplace_back(text.substr(start, position - start));
        position = text.find_first_not_of(u' ', position);
    }
    return tokens;
}

void RemoveQuotes(std::u16string& parameter)
{
    std::size_t position = 0;
    for (;;) {
        const std::size_t open = parameter.find(u'"', position);
        if (open == std::u16string::npos) return;
        std::size_t close = parameter.find(u'"', open + 1);
        if (close == std::u16string::npos) return;
        // A doubled closing quote: the first of the pair stays, as text.
        if (close + 1 < parameter.size() && parameter[close + 1] == u'"') ++close;
        const std::size_t innerLength = close - open - 1;
        parameter.erase(close, 1);
        parameter.erase(open, 1);
        position = open + innerLength;
    }
}

void ExpandEnvironment(std::u16string& text)
{
    if (auto expanded = os::ExpandEnvironmentReferences(text)) text = std::move(*expanded);
}

std::string ToAnsi(const std::u16string& text) { return os::ToAnsiCodePage(text); }

} // namespace tala
