// Files and folders: the few operations the launcher needs on them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tala::os {

// True when a directory search for exactly this path finds an entry.
bool PathExists(const std::u16string& path);

// Creates one folder level; false when it failed or already existed.
bool MakeDirectory(const std::u16string& path);

bool RemoveFile(const std::u16string& path);

enum class FolderCreation { Created, AlreadyExists, Failed };

// Creates one folder level, telling an existing folder from a failure.
FolderCreation CreateFolder(const std::u16string& path);

// Removes a folder if it is empty; failures are the caller's to ignore.
void RemoveEmptyFolder(const std::u16string& path);

bool ChangeCurrentDirectory(const std::u16string& path);

// Opens the file without sharing, reads up to 4 bytes into header (the rest
// stays zero) and closes it. Returns 0 or the system error code.
std::uint32_t ReadFileHeader(const std::u16string& path, std::array<std::uint8_t, 4>& header);

// The first bytes of a small text file, at most limit of them; nothing when
// it cannot be opened or read.
std::optional<std::string> ReadFileStart(const std::u16string& path, std::size_t limit);

// A text equal for two paths of one folder or file, for telling whether a
// place was reached twice: links resolved on POSIX; made full, without a
// trailing separator and in one letter case on Windows. The path itself
// (less trailing separators) when it cannot be resolved.
std::u16string PathIdentity(const std::u16string& path);

} // namespace tala::os
