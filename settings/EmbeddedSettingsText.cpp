#include "settings/EmbeddedSettingsText.h"

#include "os/CarriedSettings.h"
#include "settings/SettingsCipher.h"

namespace tala {

std::u16string LoadEmbeddedSettingsText(const std::u16string& upgradeCode)
{
    // Settings enciphered for another code read as none: a wrong code never
    // gives garbage settings.
    std::u16string text;
    if (!DecipherSettings(os::ReadCarriedSettings(), upgradeCode, text)) return {};
    return text;
}

} // namespace tala
