#include "os/posix/PrivateFolder.h"

#include "os/posix/NameHash.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tala::os {
namespace {

// NAME_MAX, less room for what the callers add.
constexpr std::size_t kLongestName = 240;

std::string FolderPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/tala";
    return "/tmp/tala-" + std::to_string(::geteuid());
}

// Owned by this user and closed to everyone else. Group and others may not
// even read: the blocks carry the arguments of later starts.
bool IsPrivate(const struct stat& status)
{
    return status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

} // namespace

std::optional<std::string> PrivateFolder()
{
    std::string folder = FolderPath();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || !IsPrivate(status)) {
        return std::nullopt;
    }
    return folder;
}

std::string PrivateFileName(const std::string& name)
{
    std::string text = name;
    std::replace(text.begin(), text.end(), '/', '_');
    if (text.size() <= kLongestName) return text;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(HashName(text)));
    const std::size_t keep = kLongestName - sizeof hash;
    return hash + ("." + text.substr(text.size() - keep));
}

FileDescriptor OpenPrivateFile(const std::string& folder, const std::string& fileName)
{
    const std::string path = folder + "/" + fileName;
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
    struct stat status {};
    if (!file.IsValid() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) || !IsPrivate(status)) {
        return FileDescriptor();
    }
    return file;
}

} // namespace tala::os
