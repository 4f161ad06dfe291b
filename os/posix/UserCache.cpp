#include "os/UserCache.h"

#include "os/Environment.h"
#include "os/Utf8.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tala::os {
namespace {

// The root may be a link (a cache moved to another disk), and may belong to
// the system (a shared folder with the sticky bit); it must not let others
// rename or remove what this user makes in it.
bool IsSafeRoot(const std::string& root)
{
    struct stat status {};
    if (::stat(root.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    if (status.st_uid != ::geteuid() && status.st_uid != 0) return false;
    const bool othersWrite = (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    return !othersWrite || (status.st_mode & S_ISVTX) != 0;
}

// A level of the launcher's own: a real folder, this user's, writable by no
// one else. A folder someone planted before this user made it fails here.
bool IsPrivateLevel(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Makes the root's missing folders, as a fresh account may lack ~/.cache.
void MakeRoot(const std::string& root)
{
    for (std::size_t slash = root.find('/', 1); slash != std::string::npos;
         slash = root.find('/', slash + 1)) {
        ::mkdir(root.substr(0, slash).c_str(), 0700);
    }
    ::mkdir(root.c_str(), 0700);
}

} // namespace

std::u16string UserCacheRoot()
{
    const auto cacheHome = ReadEnvironmentVariable(u"XDG_CACHE_HOME");
    if (cacheHome && !cacheHome->empty() && cacheHome->front() == u'/') return *cacheHome;
    const auto home = ReadEnvironmentVariable(u"HOME");
    if (home && !home->empty()) return *home + u"/.cache";
    return {};
}

std::u16string MakePrivateFolder(const std::u16string& root,
                                 const std::vector<std::u16string>& levels)
{
    if (root.empty() || root.front() != u'/') return {};
    std::string path = ToUtf8(root);
    MakeRoot(path);
    if (!IsSafeRoot(path)) return {};
    for (const std::u16string& level : levels) {
        if (level.empty() || level == u"." || level == u".." ||
            level.find(u'/') != std::u16string::npos) {
            return {};
        }
        path += '/';
        path += ToUtf8(level);
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
        if (!IsPrivateLevel(path)) return {};
    }
    return FromUtf8(path);
}

} // namespace tala::os
