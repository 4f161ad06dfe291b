// The files of a startup cache in its folder. Every file of one fingerprint
// begins with the same stem (folder, executable name, fingerprint): a
// settled cache is stem-SIZE.jsa or stem-SIZE.aot, and the files one process
// makes on the way carry its process id (stem.PID.*), so no two processes
// ever write one file.
#pragma once

#include <string>
#include <string_view>

namespace tala {

enum class CacheFormat { DynamicArchive, AotCache };

// The settled cache of the stem, if one is intact: it has the size its name
// records and begins as its format does. Others of the stem are removed (a
// cut dynamic archive brings some runtimes down as they map it).
std::u16string FindSettledCache(const std::u16string& folder, const std::u16string& stem,
                                CacheFormat format);

// Flushes what the runtime wrote and gives it the stem's cache name; when a
// cache of the stem has settled meanwhile (two starts recorded at once), or
// the file is empty or cannot be renamed, it is removed instead.
void SettleCache(const std::u16string& made, const std::u16string& stem, CacheFormat format);

// Removes the executable's files of fingerprints other than this one. Files
// of other executables in the folder stay.
void RemoveOutdatedFiles(const std::u16string& folder, const std::u16string& executable,
                         std::u16string_view fingerprint);

} // namespace tala
