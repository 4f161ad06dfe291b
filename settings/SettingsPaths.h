// Where the launcher's settings files lie: beside the executable, in the
// user's settings folder, and beside the paired executable.
#pragma once

#include "os/PathStyle.h"
#include "os/WindowHandle.h"
#include "settings/LauncherSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace tala {

// The executable's path up to its last "." followed by "ini" (C:\Apps\Tool.exe
// gives C:\Apps\Tool.ini). On Windows a "." in a folder name counts when the
// file name has none; on POSIX only the file name is looked at, and a name
// without "." gets ".ini" appended (/opt/shop/shop gives /opt/shop/shop.ini).
std::optional<std::u16string> SettingsFilePathFor(std::u16string_view executablePath,
                                                  os::PathStyle style = os::kHostPathStyle);

// The executable's own path; reports message 202 with 208 when the system
// cannot tell it.
bool GetModulePathOrReport(std::u16string& path, os::WindowHandle owner = nullptr);

// The settings file beside the running executable. False when the module path
// is not available (reported) or has no "." (not reported).
bool GetSettingsFilePath(std::u16string& path, os::WindowHandle owner = nullptr);

// The name without the characters \?"|><:/*, which no Windows folder name
// may hold: a product's folder is named alike on every platform.
std::u16string WithoutUnsafeCharacters(std::u16string_view name);

// The user's copy of a settings file: root, the product name without the
// characters \?"|><:/*, the product code, and the executable's base name with
// ".ini" (root\My App\1234\Tool.ini).
std::u16string UserSettingsFilePathFor(std::u16string_view sourcePath,
                                       std::u16string_view productName,
                                       std::u16string_view productCode, std::u16string_view root,
                                       os::PathStyle style = os::kHostPathStyle);

// The same under the user's settings root; with createFolders, the product
// name and product code folders are created (failures ignored). Empty when
// the source path is empty.
std::u16string GetUserSettingsFilePath(const std::u16string& sourcePath,
                                       const LauncherSettings& settings, bool createFolders);

// The paired executable's settings file; false when "Pair Product" is empty
// or has no ".".
bool GetPairSettingsFilePath(const std::u16string& pairProduct, std::u16string& path);

bool UserSettingsFileExists(const std::u16string& path);

// Remembers a runtime folder picked by the user as "JRE Path": in the settings
// file (and the pair's) for a service, otherwise in the per-user copies.
void WriteBackJrePath(const LauncherSettings& settings, const std::u16string& value);

// The same for an executable at modulePath.
void WriteBackJrePathFor(const std::u16string& modulePath, const LauncherSettings& settings,
                         const std::u16string& value);

} // namespace tala
