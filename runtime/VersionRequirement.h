// How the runtime-not-found message names the Java version the application needs.
#pragma once

#include "runtime/VersionNumber.h"
#include "settings/LauncherSettings.h"

#include <string>

namespace tala {

// "latest version", "maximum version 1.8", "minimum version 11",
// "version 1.8.0.151 is required" or "version between 1.8 and 11".
std::u16string DescribeVersionRequirement(const VersionNumber& minimum, const VersionNumber& maximum);

// The whole message: with "a server JVM" when the settings require one.
std::u16string RuntimeNotFoundMessage(const LauncherSettings& settings);

// Where a Java runtime can be downloaded.
inline constexpr std::u16string_view kRuntimeDownloadAddress = u"https://adoptium.net/";

} // namespace tala
