// Owns an open directory stream of the POSIX layer.
#pragma once

#include <dirent.h>

#include <memory>

namespace tala::os {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using UniqueDirectory = std::unique_ptr<DIR, DirectoryCloser>;

} // namespace tala::os
