#include "vm/CacheFiles.h"

#include "os/FileSearch.h"
#include "os/DecimalText.h"
#include "os/Files.h"
#include "os/PathText.h"
#include "os/Utf8.h"

#include <cstdint>
#include <string>

namespace tala {
namespace {

// The first four bytes of the runtime's archive files (little-endian): an
// ahead-of-time cache has the layout of the runtime's own base archive. A
// dynamic archive of the wrong kind would take the base archive's place and
// leave the VM with no shared classes at all.
constexpr std::string_view kDynamicArchiveMagic = "\xA8\xAB\x0B\xF0";
constexpr std::string_view kAotCacheMagic = "\xA2\xAB\x0B\xF0";

constexpr std::size_t kFingerprintLength = 16;

std::u16string ExtensionOf(CacheFormat format)
{
    return format == CacheFormat::AotCache ? u".aot" : u".jsa";
}

bool IsIntact(const std::u16string& path, std::u16string_view sizeInName, CacheFormat format)
{
    os::FileStamp stamp;
    if (!os::ReadFileStamp(path, stamp) || stamp.isFolder || sizeInName != os::DecimalText(stamp.size)) return false;
    const std::optional<std::string> header = os::ReadFileStart(path, 4);
    return header == (format == CacheFormat::AotCache ? kAotCacheMagic : kDynamicArchiveMagic);
}

} // namespace

std::u16string FindSettledCache(const std::u16string& folder, const std::u16string& stem,
                                CacheFormat format)
{
    const std::u16string extension = ExtensionOf(format);
    // Behind the stem's file part and "-".
    const std::size_t sizeAt = os::FileNameOf(stem, os::kHostPathStyle).size() + 1;
    std::u16string found;
    for (const std::u16string& name : os::FindMatchingNames(stem + u"-*" + extension)) {
        const std::u16string path = os::JoinPath(folder, name, os::kHostPathStyle);
        const std::u16string_view sizeInName =
            std::u16string_view(name).substr(sizeAt, name.size() - sizeAt - extension.size());
        if (found.empty() && IsIntact(path, sizeInName, format)) {
            found = path;
        } else {
            os::DiscardFile(path);
        }
    }
    return found;
}

void SettleCache(const std::u16string& made, const std::u16string& stem, CacheFormat format)
{
    const std::u16string extension = ExtensionOf(format);
    os::FileStamp stamp;
    if (!os::ReadFileStamp(made, stamp) || stamp.isFolder || stamp.size == 0 ||
        !os::FindMatchingNames(stem + u"-*" + extension).empty() ||
        !os::SettleFile(made, stem + u"-" + os::DecimalText(stamp.size) + extension)) {
        os::DiscardFile(made);
    }
}

void RemoveOutdatedFiles(const std::u16string& folder, const std::u16string& executable,
                         std::u16string_view fingerprint)
{
    const std::u16string prefix = executable + u'-';
    for (const std::u16string& name : os::FindMatchingNames(os::JoinPath(folder, prefix + u"*", os::kHostPathStyle))) {
        // executable-FINGERPRINT followed by "-" or ".": another executable's
        // name may begin with this one's.
        const std::u16string_view rest = std::u16string_view(name).substr(prefix.size());
        const bool ours = rest.size() > kFingerprintLength &&
                          rest.find_first_not_of(u"0123456789abcdef") == kFingerprintLength &&
                          (rest[kFingerprintLength] == u'-' || rest[kFingerprintLength] == u'.');
        if (ours && !rest.starts_with(fingerprint)) os::DiscardFile(os::JoinPath(folder, name, os::kHostPathStyle));
    }
}

} // namespace tala
