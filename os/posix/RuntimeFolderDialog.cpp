#include "os/RuntimeFolderDialog.h"

#include "os/Utf8.h"
#include "os/posix/Terminal.h"

namespace tala::os {

std::optional<RuntimeFolderChoice> AskForRuntimeFolder(const std::u16string& message,
                                                       const std::u16string& downloadAddress,
                                                       const VmLibraryProbe& probe)
{
    if (!HasTerminal()) return std::nullopt;
    WriteToTerminal(ToUtf8(message) + "\n" + ToUtf8(downloadAddress) +
                    "\nIf you have a JRE installed you can give its folder below"
                    " (an empty line cancels).\n");
    for (;;) {
        WriteToTerminal("JRE Path: ");
        const auto line = ReadTerminalLine();
        if (!line || line->empty()) return std::nullopt;
        std::u16string folder = FromUtf8(*line);
        if (folder.back() != u'/') folder += u'/';
        if (const auto library = probe(folder)) return RuntimeFolderChoice{folder, *library};
        WriteToTerminal("No Java VM was found in " + *line + ".\n");
    }
}

} // namespace tala::os
