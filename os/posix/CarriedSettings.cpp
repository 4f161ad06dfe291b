#include "os/CarriedSettings.h"

#include "os/PackedTrailer.h"
#include "os/posix/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tala::os {
namespace {

constexpr std::uint64_t kMaximumSettingsSize = 64u << 20;

bool ReadAt(int fd, std::uint64_t offset, std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string ReadCarriedSettings()
{
    // The file the process was started from, whatever links led to it; only
    // its last bytes and the settings are read, never the jar behind them.
    const FileDescriptor file(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!file.IsValid() || ::fstat(file.Get(), &status) != 0 || status.st_size < 0) return {};
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size < kPackedTrailerSize) return {};

    std::string last(kPackedTrailerSize, '\0');
    if (!ReadAt(file.Get(), size - kPackedTrailerSize, last)) return {};
    const std::optional<PackedTrailer> trailer = DecodeTrailer(last, size);
    // Settings text is a few kilobytes; a larger part is no settings of ours.
    if (!trailer || trailer->settingsSize > kMaximumSettingsSize) return {};
    std::string settings(static_cast<std::size_t>(trailer->settingsSize), '\0');
    if (!ReadAt(file.Get(), trailer->payloadStart, settings)) return {};
    return settings;
}

} // namespace tala::os
