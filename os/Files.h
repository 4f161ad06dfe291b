// Files and folders: the few operations the launcher needs on them.
#pragma once

#include <array>
#include <cstddef>
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

struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the system's own units, only ever compared
    bool isFolder = false;
};

// Size and modification time of the entry at path (links followed); false
// when there is none.
bool ReadFileStamp(const std::u16string& path, FileStamp& stamp);

// The first bytes of a file, at most limit of them, with others free to read,
// write and remove it meanwhile; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileStart(const std::u16string& path, std::size_t limit);

// A text equal for two paths of one folder or file, for telling whether a
// place was reached twice: links resolved on POSIX; made full, without a
// trailing separator and in one letter case on Windows. The path itself
// (less trailing separators) when it cannot be resolved.
std::u16string PathIdentity(const std::u16string& path);

// Forces the file's content to the disk, then gives it the name target
// (replacing a file of that name): the name never leads to a partial file,
// not even after a crash of the system.
bool SettleFile(const std::u16string& path, const std::u16string& target);

// Removes a file, read-only or not.
bool DiscardFile(const std::u16string& path);

// Makes an empty file, whose name is all it says; true when it exists now.
bool MakeEmptyFile(const std::u16string& path);

} // namespace tala::os
