// What the user is shown when no Java runtime was found: the message, the
// download address as a link, and a way to pick a runtime folder that is
// already installed. On Windows the "JRE Not Found" dialog; elsewhere a prompt
// on the terminal, when there is one.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tala::os {

struct RuntimeFolderChoice {
    std::u16string folder;    // ends in a separator
    std::u16string vmLibrary; // the VM library found in it
};

// The VM library of a folder (given with its trailing separator); nothing
// when the folder holds none, so the choice cannot be confirmed.
using VmLibraryProbe = std::function<std::optional<std::u16string>(const std::u16string& folder)>;

// What the user reads: the message, the download address, and the title of
// the folder picker where there is one.
struct RuntimeFolderTexts {
    std::u16string message;
    std::u16string downloadAddress;
    std::u16string browseTitle;
};

// Nothing when the user cancelled, or when no dialog can be shown.
std::optional<RuntimeFolderChoice> AskForRuntimeFolder(const RuntimeFolderTexts& texts,
                                                       const VmLibraryProbe& probe);

} // namespace tala::os
