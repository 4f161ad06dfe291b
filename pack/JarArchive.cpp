#include "pack/JarArchive.h"

#include "pack/Bytes.h"

namespace tala::pack {
namespace {

constexpr std::string_view kLocalHeader = "PK\x03\x04";
constexpr std::string_view kCentralHeader = "PK\x01\x02";
constexpr std::string_view kEndRecord = "PK\x05\x06";
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaximumComment = 0xFFFF;

} // namespace

bool MeasureJar(std::string_view bytes, std::size_t& length, std::string& error)
{
    if (bytes.substr(0, 4) != kLocalHeader || bytes.size() < kEndRecordSize) {
        error = "is not a zip file";
        return false;
    }
    // The end record is the last one within a comment's reach of the end.
    const std::size_t lowest =
        bytes.size() > kEndRecordSize + kMaximumComment ? bytes.size() - kEndRecordSize - kMaximumComment : 0;
    for (std::size_t at = bytes.size() - kEndRecordSize + 1; at-- > lowest;) {
        if (bytes.substr(at, 4) != kEndRecord) continue;
        const std::uint32_t directorySize = Read32(bytes, at + 12);
        const std::uint32_t directory = Read32(bytes, at + 16);
        const std::size_t end = at + kEndRecordSize + Read16(bytes, at + 20);
        if (Read16(bytes, at + 10) == 0 || directory > at || directorySize > at - directory ||
            end > bytes.size() || bytes.substr(directory, 4) != kCentralHeader) {
            continue;
        }
        length = end;
        return true;
    }
    error = "is not a zip file whose entries count from its start (a damaged or self-extracting archive)";
    return false;
}

} // namespace tala::pack
