// The folder picker ("Browse for Folder") of another process, worked as a
// user works it: a folder selected in its tree, then OK.
#pragma once

#include <windows.h>

#include <filesystem>

namespace tala::test {

// False when the folder could not be selected or OK not pressed.
bool PickFolder(HANDLE process, HWND picker, const std::filesystem::path& folder);

} // namespace tala::test
