#include "os/RuntimeFolderDialog.h"

#include "os/PathText.h"
#include "os/Utf8.h"
#include "os/posix/Terminal.h"

#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace tala::os {
namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

std::string CurrentFolder()
{
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? folder.get() : "";
}

// The folder as the Windows folder picker would give it, a full path: "~"
// at its start is the home folder, and a folder not starting at "/" lies in
// the current one. Written back as typed, it would be lost on the next start
// from another folder.
std::string AbsoluteFolder(const std::string& typed)
{
    if (typed.front() == '/') return typed;
    if (typed == "~" || typed.starts_with("~/")) return HomeFolder() + typed.substr(1);
    return CurrentFolder() + "/" + typed;
}

} // namespace

std::optional<RuntimeFolderChoice> AskForRuntimeFolder(const RuntimeFolderTexts& texts,
                                                       const VmLibraryProbe& probe)
{
    if (!HasTerminal()) return std::nullopt;
    WriteToTerminal(ToUtf8(texts.message) + "\n" + ToUtf8(texts.downloadAddress) +
                    "\nIf you have a JRE installed you can give its folder below"
                    " (an empty line cancels).\n");
    for (;;) {
        WriteToTerminal("JRE Path: ");
        const auto line = ReadTerminalLine();
        if (!line || line->empty()) return std::nullopt;
        const std::string absolute = AbsoluteFolder(*line);
        const std::u16string folder = WithTrailingSeparator(FromUtf8(absolute), PathStyle::Posix);
        if (const auto library = probe(folder)) return RuntimeFolderChoice{folder, *library};
        WriteToTerminal("No Java VM was found in " + absolute + ".\n");
    }
}

} // namespace tala::os
