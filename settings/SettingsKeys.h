// The sections and keys of the settings file, spelled exactly as users write
// them (misspellings included: they are part of the file format).
#pragma once

#include <string_view>

namespace tala::keys {

inline constexpr std::u16string_view kProductInformation = u"Product Information";
inline constexpr std::u16string_view kProductCode = u"Product Code";
inline constexpr std::u16string_view kUpgradeCode = u"Upgrade Code";
inline constexpr std::u16string_view kProductName = u"Product Name";

inline constexpr std::u16string_view kJavaRuntimeEnvironment = u"Java Runtime Environment";
inline constexpr std::u16string_view kMinimumVersion = u"Minimum Version";
inline constexpr std::u16string_view kMaximumVersion = u"Maximum Version";
inline constexpr std::u16string_view kPreferredVersions = u"Preferred versions";
inline constexpr std::u16string_view kJrePath = u"JRE Path";
inline constexpr std::u16string_view kJvmType = u"JVM Type";
inline constexpr std::u16string_view kJvmSource = u"JVM Source";
inline constexpr std::u16string_view kVmProvider = u"VM Provider";
inline constexpr std::u16string_view kMainClass = u"Main Class";
inline constexpr std::u16string_view kSystemPath = u"System Path";
inline constexpr std::u16string_view kLibraryPath = u"Library Path";
inline constexpr std::u16string_view kVirtualMachineParameters = u"Virtual Machine Parameters";
inline constexpr std::u16string_view kExtendedSearch = u"Extended Search";
inline constexpr std::u16string_view kStartupCache = u"Startup Cache";

inline constexpr std::u16string_view kApplication = u"Application";
inline constexpr std::u16string_view kApplicationType = u"Application Type";
inline constexpr std::u16string_view kFailureCheck = u"Failure Check";
inline constexpr std::u16string_view kOverrideWorkingDir = u"Override WorkingDir";
inline constexpr std::u16string_view kPairProduct = u"Pair Product";
inline constexpr std::u16string_view kPairReturnCode = u"Pair Return Code";
inline constexpr std::u16string_view kEmbeddedJar = u"Embedded Jar";
inline constexpr std::u16string_view kOutputFile = u"Output File";
inline constexpr std::u16string_view kOutputAppend = u"Output Append";
inline constexpr std::u16string_view kErrorFile = u"Error File";
inline constexpr std::u16string_view kErrorAppend = u"Error Append";
inline constexpr std::u16string_view kCmd = u"Cmd";
inline constexpr std::u16string_view kSingleInstance = u"Single Instance";

inline constexpr std::u16string_view kClassPathSection = u"Class Path";
inline constexpr std::u16string_view kClassPath = u"Class Path";

inline constexpr std::u16string_view kDisplay = u"Display";
inline constexpr std::u16string_view kSplashScreen = u"Splash Screen";
inline constexpr std::u16string_view kSplashScreenShadow = u"Splash Screen Shadow";
inline constexpr std::u16string_view kPrefferNativeSplashScreen = u"Preffer Native Splash Screen";

} // namespace tala::keys
