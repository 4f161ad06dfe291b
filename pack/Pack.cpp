#include "pack/Pack.h"

#include "launcher/MessageId.h"
#include "os/CarriedSettings.h"
#include "os/PackedTrailer.h"
#include "pack/Bytes.h"
#include "pack/IconGroup.h"
#include "pack/JarArchive.h"
#include "pack/ManifestLevel.h"
#include "pack/PackFiles.h"
#include "pack/PeImage.h"
#include "pack/SettingsText.h"
#include "settings/SettingsCipher.h"

#include <algorithm>

namespace tala::pack {
namespace {

// The inputs read, checked where they can be on their own.
struct Parts {
    std::string launcher;
    std::optional<std::string> settings; // enciphered
    std::optional<std::string> icon;
    std::optional<std::string> jar; // the zip alone
};

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Blame(const std::u16string& path, std::u16string_view reason)
{
    return path + u": " + std::u16string(reason);
}

bool Read(const std::u16string& path, std::string& bytes, std::u16string& error)
{
    std::u16string reason;
    if (ReadWholeFile(path, bytes, reason)) return true;
    error = Blame(path, u"cannot be read: " + reason);
    return false;
}

bool ReadParts(const PackRequest& request, Parts& parts, std::u16string& error)
{
    if (!Read(request.launcher, parts.launcher, error)) return false;
    if (request.settings) {
        std::string bytes;
        if (!Read(*request.settings, bytes, error)) return false;
        const SettingsToCarry settings = MakeSettingsToCarry(bytes);
        parts.settings = EncipherSettings(settings.text, request.upgradeCode.value_or(settings.upgradeCode));
    }
    if (request.icon && !Read(*request.icon, parts.icon.emplace(), error)) return false;
    if (request.jar) {
        std::string bytes;
        std::size_t length = 0;
        std::string reason;
        if (!Read(*request.jar, bytes, error)) return false;
        if (!MeasureJar(bytes, length, reason)) {
            error = Blame(*request.jar, Ascii(reason));
            return false;
        }
        parts.jar = bytes.substr(0, length);
    }
    return true;
}

struct MessageText {
    MessageId id;
    std::u16string_view text;
};

constexpr MessageText kMessageTexts[] = {
#define TALA_STRING(name, id, text) {MessageId::name, u"" text},
#include "resources/Strings.inc"
#undef TALA_STRING
};

// Every Tala launcher holds the text of its message 210 in UTF-16, in its
// string table (Windows) or among its constants (Linux).
bool IsTalaLauncher(std::string_view image)
{
    const auto mark =
        std::find_if(std::begin(kMessageTexts), std::end(kMessageTexts),
                     [](const MessageText& entry) { return entry.id == MessageId::MainClassMissing; });
    std::string bytes;
    AppendUtf16(bytes, mark->text);
    return image.find(bytes) != std::string_view::npos;
}

bool PackElf(const PackRequest& request, const Parts& parts, std::string& out, std::u16string& error)
{
    if (parts.icon || !request.versionStrings.empty() || request.executionLevel) {
        error = Blame(request.launcher,
                      u"is a Linux (ELF) launcher: --icon, --version and --execution-level brand "
                      u"Windows launchers only");
        return false;
    }
    // What an earlier packing appended goes; what this one does not replace stays.
    std::string_view launcher = parts.launcher;
    std::string_view settings;
    std::string_view jar;
    if (launcher.size() >= os::kPackedTrailerSize) {
        if (const auto trailer = os::DecodeTrailer(launcher.substr(launcher.size() - os::kPackedTrailerSize),
                                                   launcher.size())) {
            settings = launcher.substr(trailer->payloadStart, trailer->settingsSize);
            jar = launcher.substr(trailer->payloadStart + trailer->settingsSize, trailer->jarSize);
            launcher = launcher.substr(0, trailer->payloadStart);
        }
    }
    if (!IsTalaLauncher(launcher)) {
        error = Blame(request.launcher, u"is not a Tala launcher");
        return false;
    }
    if (parts.settings) settings = *parts.settings;
    if (parts.jar) jar = *parts.jar;
    out.assign(launcher);
    if (settings.empty() && jar.empty()) return true;
    out += settings;
    out += jar;
    out += os::EncodeTrailer({launcher.size(), settings.size(), jar.size()});
    return true;
}

bool Brand(const PackRequest& request, const Parts& parts, ResourceTable& resources, std::u16string& error)
{
    std::string reason;
    if (parts.icon && !PutIconGroup(*parts.icon, resources, reason)) {
        error = Blame(*request.icon, Ascii(reason));
        return false;
    }
    if (!request.versionStrings.empty()) {
        resources.RemoveType(ResourceKey::Id(kVersionType));
        resources.Put(ResourceKey::Id(kVersionType), ResourceKey::Id(1),
                      BuildVersionResource(request.versionStrings));
    }
    if (request.executionLevel) {
        const Resource* manifest = resources.Find(ResourceKey::Id(kManifestType), ResourceKey::Id(1));
        Resource changed = manifest != nullptr ? *manifest : Resource{};
        const std::string level(request.executionLevel->begin(), request.executionLevel->end());
        if (manifest == nullptr || !SetExecutionLevel(changed.data, level)) {
            error = Blame(request.launcher, u"has no manifest that asks for an execution level");
            return false;
        }
        resources.Put(std::move(changed));
    }
    if (parts.settings) {
        resources.Put(ResourceKey::Id(kRawDataType), {0, os::kCarriedSettingsName}, *parts.settings);
    }
    return true;
}

bool PackPe(const PackRequest& request, const Parts& parts, std::string& out, std::u16string& error)
{
    PeImage image;
    ResourceTable resources;
    std::string reason;
    if (!image.Parse(parts.launcher, reason)) {
        error = Blame(request.launcher, Ascii(reason));
        return false;
    }
    if (!IsTalaLauncher(parts.launcher)) {
        error = Blame(request.launcher, u"is not a Tala launcher");
        return false;
    }
    if (!image.LocateResources(reason) || !image.ReadResources(resources, reason)) {
        error = Blame(request.launcher, Ascii(reason));
        return false;
    }
    if (!Brand(request, parts, resources, error)) return false;

    // A signature's padding may follow an earlier jar: the zip alone stays.
    std::string_view jar = image.Overlay();
    if (parts.jar) {
        jar = *parts.jar;
    } else if (!jar.empty()) {
        std::size_t length = 0;
        if (!MeasureJar(jar, length, reason)) {
            error = Blame(request.launcher, u"carries something other than a jar behind its image");
            return false;
        }
        jar = jar.substr(0, length);
    }
    out = image.Rebuild(resources, jar);
    return true;
}

} // namespace

bool Pack(const PackRequest& request, std::u16string& error)
{
    Parts parts;
    if (!ReadParts(request, parts, error)) return false;
    std::string out;
    const std::string_view launcher = parts.launcher;
    bool packed = false;
    if (launcher.substr(0, 4) == std::string_view("\x7F" "ELF")) {
        packed = PackElf(request, parts, out, error);
    } else if (launcher.substr(0, 2) == "MZ") {
        packed = PackPe(request, parts, out, error);
    } else {
        error = Blame(request.launcher, u"is not a Tala launcher: neither a Windows nor a Linux executable");
    }
    if (!packed) return false;
    std::u16string reason;
    if (!WriteFileInPlace(request.output, out, request.launcher, reason)) {
        error = Blame(request.output, u"cannot be written: " + reason);
        return false;
    }
    return true;
}

} // namespace tala::pack
