#include "pack/PackFiles.h"

#include "os/Utf8.h"
#include "os/posix/FileContent.h"
#include "os/posix/FileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace tala::pack {
namespace {

std::u16string Reason(int error) { return os::FromUtf8(std::strerror(error)); }

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::u16string& path, std::string& bytes, std::u16string& reason)
{
    if (os::ReadFileContent(os::ToUtf8(path), bytes)) return true;
    reason = Reason(errno);
    return false;
}

bool WriteFileInPlace(const std::u16string& path, std::string_view bytes, const std::u16string& modeFrom,
                      std::u16string& reason)
{
    const std::string target = os::ToUtf8(path);
    struct stat source {};
    const mode_t mode = ::stat(os::ToUtf8(modeFrom).c_str(), &source) == 0 ? (source.st_mode & 0777) : 0755;
    std::string temporary = target + ".tala-pack-XXXXXX";
    const os::FileDescriptor file(::mkstemp(temporary.data()));
    if (!file.IsValid()) {
        reason = Reason(errno);
        return false;
    }
    const bool written = ::fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), bytes) &&
                         ::fsync(file.Get()) == 0 && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        reason = Reason(errno);
        ::unlink(temporary.c_str());
    }
    return written;
}

void PrintLine(std::u16string_view text, bool toError)
{
    const std::string line = os::ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), toError ? stderr : stdout);
}

} // namespace tala::pack
