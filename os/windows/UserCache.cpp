#include "os/UserCache.h"

#include "os/Environment.h"
#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {
namespace {

// A real folder: not a file, and not a link or junction leading elsewhere.
bool IsPlainFolder(const std::u16string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

} // namespace

std::u16string UserCacheRoot()
{
    return ReadEnvironmentVariable(u"LOCALAPPDATA").value_or(std::u16string());
}

// The local application data folder lies in the user's profile, which only
// the user (and the system's administrators) may write to; the folders made
// in it inherit that.
std::u16string MakePrivateFolder(const std::u16string& root,
                                 const std::vector<std::u16string>& levels)
{
    if (root.empty()) return {};
    std::u16string path = root;
    if (path.back() == u'\\') path.pop_back();
    for (const std::u16string& level : levels) {
        if (level.empty() || level == u"." || level == u".." ||
            level.find_first_of(u"\\/") != std::u16string::npos) {
            return {};
        }
        path += u'\\';
        path += level;
        ::CreateDirectoryW(Wide(path), nullptr);
        if (!IsPlainFolder(path)) return {};
    }
    return path;
}

} // namespace tala::os
