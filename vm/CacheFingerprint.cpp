#include "vm/CacheFingerprint.h"

#include "launcher/Launcher.h"
#include "os/DecimalText.h"
#include "os/Environment.h"
#include "os/FileSearch.h"
#include "os/Files.h"
#include "os/PathList.h"
#include "os/PathText.h"
#include "os/Utf8.h"

#include <algorithm>
#include <cstdint>

namespace tala {
namespace {

// Part of every fingerprint: a launcher that lays out its cache differently
// uses other names.
constexpr std::string_view kLayout = "tala startup cache 1";

// A 64-bit FNV-1a hash of the parts, each closed by a byte no text holds.
class Fingerprint {
public:
    void Add(std::string_view bytes)
    {
        for (const char byte : bytes) Mix(static_cast<unsigned char>(byte));
        Mix(0xFF);
    }
    void Add(std::u16string_view text) { Add(os::ToUtf8(text)); }

    // Each file as it is on disk; a missing one counts too.
    void AddStamps(const StringList& paths)
    {
        for (const std::u16string& path : paths) {
            os::FileStamp stamp;
            const bool found = os::ReadFileStamp(path, stamp);
            if (found) {
                Add(os::DecimalText(stamp.size) + u" " + os::SignedDecimalText(stamp.modified));
            } else {
                Add("missing");
            }
        }
    }

    std::u16string Hex() const
    {
        static constexpr char16_t kDigits[] = u"0123456789abcdef";
        std::u16string hex(16, u'0');
        for (std::size_t i = 0; i < hex.size(); ++i) hex[i] = kDigits[(hash_ >> (60 - 4 * i)) & 0xF];
        return hex;
    }

private:
    void Mix(unsigned char byte)
    {
        hash_ ^= byte;
        hash_ *= 0x100000001B3u;
    }

    std::uint64_t hash_ = 0xCBF29CE484222325u;
};

// The runtime's own base archives beside its VM library, which a dynamic
// archive builds on: made again when the runtime is updated, or by hand.
StringList RuntimeArchives(const std::u16string& vmLibraryPath)
{
    const std::u16string folder(os::FolderWithSeparatorOf(vmLibraryPath, os::kHostPathStyle));
    StringList archives;
    for (const std::u16string& name : os::FindMatchingNames(folder + u"*.jsa")) archives.push_back(folder + name);
    std::sort(archives.begin(), archives.end());
    return archives;
}

} // namespace

std::u16string CacheFingerprint(const Launcher& launcher, std::string_view kind, std::string_view release)
{
    Fingerprint fingerprint;
    fingerprint.Add(kLayout);
    fingerprint.Add(kind);
    fingerprint.Add(launcher.vmLibraryPath);
    fingerprint.AddStamps({launcher.vmLibraryPath});
    fingerprint.AddStamps(RuntimeArchives(launcher.vmLibraryPath));
    fingerprint.Add(release);
    for (const std::string& option : launcher.vmOptions.Options()) fingerprint.Add(option);
    for (const char16_t* name : {u"JAVA_TOOL_OPTIONS", u"_JAVA_OPTIONS"}) {
        fingerprint.Add(os::ReadEnvironmentVariable(name).value_or(u"(none)"));
    }
    StringList entries;
    SplitString(launcher.classPath, std::u16string(1, os::PathListSeparator(os::kHostPathStyle)), entries);
    fingerprint.AddStamps(entries);
    return fingerprint.Hex();
}

} // namespace tala
