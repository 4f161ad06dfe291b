// Process environment variables and the per-user settings root.
#pragma once

#include <optional>
#include <string>

namespace tala::os {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name);

// Sets the variable for this process and the processes it starts; no value
// removes it.
bool WriteEnvironmentVariable(const std::u16string& name,
                              const std::optional<std::u16string>& value);

// The user's home folder: HOME on POSIX, USERPROFILE on Windows. Empty when
// the environment names none.
std::u16string UserHomeFolder();

// Where per-user settings live: APPDATA on Windows, XDG_CONFIG_HOME or
// $HOME/.config elsewhere. Empty when the environment names none.
std::u16string UserSettingsRoot();

// Makes sure the per-user settings root exists before folders are made below
// it. Windows always has its APPDATA folder; a fresh POSIX account may lack
// ~/.config.
void PrepareUserSettingsRoot(const std::u16string& root);

} // namespace tala::os
