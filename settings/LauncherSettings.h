// Everything the launcher takes from its settings file, with the defaults a
// missing key leaves.
#pragma once

#include "runtime/VersionNumber.h"
#include "settings/StringRules.h"

#include <cstdint>
#include <string>

namespace tala {

enum class JvmType : std::int32_t { NoPreference = 0, Server = 1, FavorServer = 2 };

struct LauncherSettings {
    // "Product Information", read from the settings file alone.
    std::u16string productCode;
    std::u16string upgradeCode;
    std::u16string productName;

    // Runtime choice.
    VersionNumber minimumVersion;
    VersionNumber maximumVersion;
    bool isService = false;
    StringList preferredVersions;
    std::u16string jrePath;
    JvmType jvmType = JvmType::NoPreference;
    bool wantJdk = false;
    bool wantJre = false;
    bool acceptBothKinds = true;
    bool allowJRockit = false;
    bool allowSun = true;
    bool allowIbm = false;
    bool favorJRockit = false;
    bool favorSun = true;
    bool favorIbm = false;
    // "Extended Search": also the runtimes of vendor registry keys, per-user
    // keys, JAVA_HOME and the folders of SDKMAN! and IDEs.
    bool extendedSearch = false;

    // The application; mainClass holds "/" between package names.
    std::u16string mainClass;
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    std::u16string systemPath;
    std::u16string libraryPath;
    std::u16string pairProduct;
    bool pairReturnCode = false;
    // "Startup Cache": the runtime's class data kept in the user's cache folder.
    bool startupCache = false;

    // Read when the VM options are assembled.
    std::u16string outputFile;
    bool outputAppend = false;
    std::u16string errorFile;
    bool errorAppend = false;
};

// With IBM runtimes allowed, the Java application's threads stay attached to
// the VM and its main thread never returns: those runtimes end the process
// themselves.
inline bool AllowsIbmRuntimes(const LauncherSettings& settings)
{
    return settings.allowIbm || settings.favorIbm;
}

} // namespace tala
