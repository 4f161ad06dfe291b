#include "os/posix/FileContent.h"

#include "os/posix/FileDescriptor.h"

#include <cerrno>
#include <cstdint>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>

namespace tala::os {
namespace {

bool ReadAll(int fd, std::string& bytes)
{
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names once symbolic links in its place are followed, as
// a link names it: no folder above needs to be searchable. A missing file is
// itself (it is made there); a link that leads nowhere gives false.
bool ResolveTarget(const std::string& path, std::string& target)
{
    target = path;
    for (int links = 0; links < 40; ++links) {
        struct stat entry {};
        if (::lstat(target.c_str(), &entry) != 0) return links == 0 && errno == ENOENT;
        if (!S_ISLNK(entry.st_mode)) return true;
        char destination[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), destination, sizeof destination);
        if (length <= 0 || static_cast<std::size_t>(length) == sizeof destination) return false;
        const std::string_view leadsTo(destination, static_cast<std::size_t>(length));
        // A relative link starts in the link's own folder.
        target = leadsTo.front() == '/' ? std::string() : target.substr(0, target.rfind('/') + 1);
        target += leadsTo;
    }
    return false;
}

enum class Reading { Read, Missing, Failed };

// The bytes and status of an existing regular file. Opened without waiting,
// so a pipe put in a settings file's place cannot hold the launcher.
Reading ReadExisting(const std::string& path, std::string& bytes, struct stat& status)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsValid()) return errno == ENOENT ? Reading::Missing : Reading::Failed;
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return Reading::Failed;
    return ReadAll(file.Get(), bytes) ? Reading::Read : Reading::Failed;
}

// This process may write the file, and it is not read-only: a file nobody
// has write permission for stays unchanged even for root, as a read-only
// file does on Windows.
bool MayWrite(const std::string& path, const struct stat& status)
{
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A name no other user can foresee, so none can take it first.
std::string UnforeseeableSuffix()
{
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        value = (static_cast<std::uint64_t>(::getpid()) << 32) ^ static_cast<std::uint64_t>(now.tv_nsec);
    }
    constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 16; ++i, value >>= 4) suffix += kDigits[value & 0xF];
    return suffix;
}

// A new file beside the target; never an existing file or a link put there.
int CreateBeside(const std::string& target, mode_t mode, std::string& name)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = target + ".tala-" + UnforeseeableSuffix();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The replacement takes the old file's owner and group (root may give any,
// others a group of their own), then its mode, which a change of owner may
// have cut. What cannot be kept stops the write.
bool KeepOwnerAndMode(int fd, const struct stat& existing)
{
    struct stat created {};
    if (::fstat(fd, &created) != 0) return false;
    if ((created.st_uid != existing.st_uid || created.st_gid != existing.st_gid) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

bool ReplaceWith(const std::string& target, const std::string& bytes, const struct stat* existing)
{
    // A new file gets the usual mode less the umask; a replacement starts
    // private until it has the old file's owner and mode.
    std::string temporary;
    const FileDescriptor file(CreateBeside(target, existing != nullptr ? 0600 : 0666, temporary));
    if (!file.IsValid()) return false;
    const bool replaced = (existing == nullptr || KeepOwnerAndMode(file.Get(), *existing)) &&
                          WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0 &&
                          ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!replaced) ::unlink(temporary.c_str());
    return replaced;
}

} // namespace

bool ReadFileContent(const std::string& path, std::string& bytes)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) return false;
    return ReadAll(file.Get(), bytes);
}

bool UpdateFileContent(const std::string& path,
                       const std::function<std::string(std::string_view current)>& update)
{
    std::string target;
    if (!ResolveTarget(path, target)) return false;
    std::string bytes;
    struct stat status {};
    const Reading reading = ReadExisting(target, bytes, status);
    if (reading == Reading::Failed) return false;
    const bool exists = reading == Reading::Read;
    if (exists && !MayWrite(target, status)) return false;
    return ReplaceWith(target, update(bytes), exists ? &status : nullptr);
}

} // namespace tala::os
