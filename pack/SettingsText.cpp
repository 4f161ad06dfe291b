#include "pack/SettingsText.h"

#include "os/Utf8.h"
#include "settings/SettingsKeys.h"
#include "settings/StringRules.h"

#include <array>

namespace tala::pack {
namespace {

using namespace keys;

// Every section and key name of the settings file, as the carried text
// must spell them.
constexpr std::array<std::u16string_view, 5> kSections = {kProductInformation, kJavaRuntimeEnvironment,
                                                          kApplication, kClassPathSection, kDisplay};
constexpr std::array<std::u16string_view, 30> kKeys = {
    kProductCode, kUpgradeCode, kProductName, kMinimumVersion, kMaximumVersion, kPreferredVersions, kJrePath,
    kJvmType, kJvmSource, kVmProvider, kMainClass, kSystemPath, kLibraryPath, kVirtualMachineParameters,
    kApplicationType, kFailureCheck, kOverrideWorkingDir, kPairProduct, kPairReturnCode, kEmbeddedJar,
    kOutputFile, kOutputAppend, kErrorFile, kErrorAppend, kCmd, kSingleInstance, kClassPath, kSplashScreen,
    kSplashScreenShadow, kPrefferNativeSplashScreen};

std::u16string Decode(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return os::FromUtf8(bytes.substr(3));
    const bool littleEndian = bytes.substr(0, 2) == "\xFF\xFE";
    if (!littleEndian && bytes.substr(0, 2) != "\xFE\xFF") return os::FromUtf8(bytes);
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
    }
    return text;
}

template <std::size_t N>
std::u16string Canonical(std::u16string_view name, const std::array<std::u16string_view, N>& known)
{
    for (const std::u16string_view spelling : known) {
        if (IsCaseless(name, spelling)) return std::u16string(spelling);
    }
    return std::u16string(name);
}

// A section the settings file extends ("Application+") keeps its sign.
std::u16string CanonicalSection(std::u16string_view name)
{
    if (!name.empty() && name.back() == u'+') {
        return Canonical(name.substr(0, name.size() - 1), kSections) + u"+";
    }
    return Canonical(name, kSections);
}

std::u16string_view StripQuotes(std::u16string_view value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

SettingsToCarry MakeSettingsToCarry(std::string_view fileBytes)
{
    SettingsToCarry settings;
    StringList lines;
    SplitString(Decode(fileBytes), u"\n", lines);
    std::u16string section;
    bool sectionOpen = false;
    bool codeFound = false;
    for (const std::u16string& rawLine : lines) {
        const std::u16string line = TrimWhiteSpace(rawLine);
        if (line.empty() || line.front() == u';') continue;
        const std::size_t close = line.rfind(u']');
        if (line.front() == u'[' && close != std::u16string::npos) {
            section = CanonicalSection(TrimWhiteSpace(std::u16string_view(line).substr(1, close - 1)));
            sectionOpen = section != kProductInformation;
            if (sectionOpen) settings.text += u"[" + section + u"]\r\n";
            continue;
        }
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string::npos) continue;
        const std::u16string key =
            Canonical(TrimWhiteSpace(std::u16string_view(line).substr(0, equals)), kKeys);
        const std::u16string value(StripQuotes(TrimWhiteSpace(std::u16string_view(line).substr(equals + 1))));
        if (section == kProductInformation && key == kUpgradeCode && !codeFound) {
            settings.upgradeCode = value;
            codeFound = true;
        }
        if (sectionOpen) settings.text += key + u"=" + value + u"\r\n";
    }
    return settings;
}

} // namespace tala::pack
