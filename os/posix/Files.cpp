#include "os/Files.h"

#include "os/Utf8.h"
#include "os/posix/FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace tala::os {

bool PathExists(const std::u16string& path)
{
    struct stat entry {};
    return ::lstat(ToUtf8(path).c_str(), &entry) == 0;
}

bool MakeDirectory(const std::u16string& path)
{
    return ::mkdir(ToUtf8(path).c_str(), 0777) == 0;
}

FolderCreation CreateFolder(const std::u16string& path)
{
    if (::mkdir(ToUtf8(path).c_str(), 0777) == 0) return FolderCreation::Created;
    return errno == EEXIST ? FolderCreation::AlreadyExists : FolderCreation::Failed;
}

void RemoveEmptyFolder(const std::u16string& path) { ::rmdir(ToUtf8(path).c_str()); }

bool RemoveFile(const std::u16string& path)
{
    return ::unlink(ToUtf8(path).c_str()) == 0;
}

bool ChangeCurrentDirectory(const std::u16string& path)
{
    return ::chdir(ToUtf8(path).c_str()) == 0;
}

std::uint32_t ReadFileHeader(const std::u16string& path, std::array<std::uint8_t, 4>& header)
{
    header.fill(0);
    const FileDescriptor file(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) return static_cast<std::uint32_t>(errno);
    std::size_t filled = 0;
    while (filled < header.size()) {
        const ssize_t n = ::read(file.Get(), header.data() + filled, header.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return static_cast<std::uint32_t>(errno);
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    return 0;
}

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp)
{
    struct stat status {};
    if (::stat(ToUtf8(path).c_str(), &status) != 0) return false;
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                     status.st_mtim.tv_nsec;
    stamp.isFolder = S_ISDIR(status.st_mode);
    return true;
}

std::optional<std::string> ReadFileStart(const std::u16string& path, std::size_t limit)
{
    const FileDescriptor file(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!file.IsValid()) return std::nullopt;
    std::string bytes(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t n = ::read(file.Get(), bytes.data() + filled, limit - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

std::u16string PathIdentity(const std::u16string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(ToUtf8(path).c_str(), nullptr),
                                                               &std::free);
    if (resolved) return FromUtf8(resolved.get());
    std::u16string identity = path;
    while (identity.size() > 1 && identity.back() == u'/') identity.pop_back();
    return identity;
}

bool SettleFile(const std::u16string& path, const std::u16string& target)
{
    const std::string from = ToUtf8(path);
    {
        const FileDescriptor file(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        if (!file.IsValid() || ::fsync(file.Get()) != 0) return false;
    }
    return ::rename(from.c_str(), ToUtf8(target).c_str()) == 0;
}

bool DiscardFile(const std::u16string& path) { return RemoveFile(path); }

bool MakeEmptyFile(const std::u16string& path)
{
    return FileDescriptor(::open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600)).IsValid();
}

} // namespace tala::os
