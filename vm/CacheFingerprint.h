// The fingerprint of a startup cache: a hash of everything that makes the
// runtime's archive valid for one start, so that any change leads to a file
// of another name.
#pragma once

#include <string>
#include <string_view>

namespace tala {

class Launcher;

// 16 hexadecimal digits over the cache's kind, the runtime (its VM library's
// path, size and time, its base archives, the release file's text), every VM
// option, the options the runtime reads from the environment, and the size
// and time of every class path entry.
std::u16string CacheFingerprint(const Launcher& launcher, std::string_view kind,
                                std::string_view release);

} // namespace tala
