// The settings reader run first at start-up: fills the launcher's settings
// from "Product Code" to "Pair Return Code" with their conversions.
#pragma once

#include "os/WindowHandle.h"
#include "settings/LauncherSettings.h"

namespace tala {

// False when the settings file cannot be located, or when "Main Class" is
// empty (message 210 is shown; the keys after it are not read).
bool ReadSettings(LauncherSettings& settings, os::WindowHandle owner = nullptr);

// The same for an executable at modulePath.
bool ReadSettingsFor(const std::u16string& modulePath, LauncherSettings& settings,
                     os::WindowHandle owner = nullptr);

} // namespace tala
