// The folder that holds this user's single-instance objects: the shared
// blocks, the locks and the sockets of waiting threads. Only its owner can
// create anything in it, so nothing found there was planted by another user.
// $XDG_RUNTIME_DIR/tala when the session has a runtime folder, else
// /tmp/tala-<uid>. A folder that another user owns, that others may enter, or
// that is a link is never used: single instance is then off, nothing more.
#pragma once

#include "os/posix/FileDescriptor.h"

#include <optional>
#include <string>

namespace tala::os {

// The folder's path, made if missing; nothing when it cannot be trusted.
std::optional<std::string> PrivateFolder();

// A name of the caller's (any text) as one file name in the folder: "/"
// replaced, and a long one cut to a hash and its end, which still tell the
// executables apart.
std::string PrivateFileName(const std::string& name);

// Opens, or makes with mode 0600, the file of that name in the private folder
// for reading and writing; not valid when it cannot, or when what is there is
// no plain file of this user's that only this user may use.
FileDescriptor OpenPrivateFile(const std::string& folder, const std::string& fileName);

} // namespace tala::os
