// The user's own cache folder, where the launcher keeps files it can always
// make again. Only a folder no other local user can write into or swap is
// used: what lies there is loaded into the application's process.
#pragma once

#include <string>
#include <vector>

namespace tala::os {

// LOCALAPPDATA on Windows; XDG_CACHE_HOME when absolute, else $HOME/.cache,
// elsewhere. Empty when the environment names none.
std::u16string UserCacheRoot();

// The folder root/levels[0]/levels[1]/..., with the missing ones made for this
// user alone. Empty when it cannot be made, or when another user could write
// into it or replace it (POSIX: each level must be a real folder owned by this
// user and writable by no one else; the root may also be the system's, but
// then others may not rename what lies in it).
std::u16string MakePrivateFolder(const std::u16string& root,
                                 const std::vector<std::u16string>& levels);

} // namespace tala::os
