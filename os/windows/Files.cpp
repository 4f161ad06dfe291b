#include "os/Files.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <algorithm>

namespace tala::os {
namespace {

// Paths of MAX_PATH characters or more only work with the "\\?\" prefix.
std::u16string WithLongPathPrefix(const std::u16string& path)
{
    if (path.size() < MAX_PATH || path.rfind(u"\\\\?\\", 0) == 0) return path;
    return u"\\\\?\\" + path;
}

} // namespace

bool PathExists(const std::u16string& path)
{
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(
        ValidOrNull(::FindFirstFileW(Wide(WithLongPathPrefix(path)), &data)));
    return search != nullptr;
}

bool MakeDirectory(const std::u16string& path)
{
    return ::CreateDirectoryW(Wide(path), nullptr) != FALSE;
}

FolderCreation CreateFolder(const std::u16string& path)
{
    if (::CreateDirectoryW(Wide(path), nullptr)) return FolderCreation::Created;
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? FolderCreation::AlreadyExists
                                                    : FolderCreation::Failed;
}

void RemoveEmptyFolder(const std::u16string& path)
{
    ::RemoveDirectoryW(Wide(WithLongPathPrefix(path)));
}

bool RemoveFile(const std::u16string& path) { return ::DeleteFileW(Wide(path)) != FALSE; }

bool ChangeCurrentDirectory(const std::u16string& path)
{
    return ::SetCurrentDirectoryW(Wide(path)) != FALSE;
}

std::uint32_t ReadFileHeader(const std::u16string& path, std::array<std::uint8_t, 4>& header)
{
    header.fill(0);
    const UniqueHandle file(ValidOrNull(::CreateFileW(Wide(path), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                      nullptr)));
    if (file == nullptr) return ::GetLastError();
    DWORD read = 0;
    if (!::ReadFile(file.get(), header.data(), static_cast<DWORD>(header.size()), &read, nullptr)) {
        return ::GetLastError();
    }
    return 0;
}

bool ReadFileStamp(const std::u16string& path, FileStamp& stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Wide(WithLongPathPrefix(path)), GetFileExInfoStandard, &data)) {
        return false;
    }
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    stamp.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

std::optional<std::string> ReadFileStart(const std::u16string& path, std::size_t limit)
{
    const UniqueHandle file(ValidOrNull(::CreateFileW(Wide(WithLongPathPrefix(path)), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file == nullptr) return std::nullopt;
    std::string bytes(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(limit - filled, 1u << 20));
        if (!::ReadFile(file.get(), bytes.data() + filled, wanted, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

std::u16string PathIdentity(const std::u16string& path)
{
    std::u16string identity = path;
    const DWORD size = ::GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
    if (size != 0) {
        std::wstring full(size, L'\0');
        const DWORD length = ::GetFullPathNameW(Wide(path), size, full.data(), nullptr);
        if (length != 0 && length < size) identity = FromWide(full.data(), length);
    }
    while (identity.size() > 3 && identity.back() == u'\\') identity.pop_back();
    if (!identity.empty()) {
        ::CharUpperBuffW(reinterpret_cast<wchar_t*>(identity.data()), static_cast<DWORD>(identity.size()));
    }
    return identity;
}

bool SettleFile(const std::u16string& path, const std::u16string& target)
{
    // The runtime writes its archives read-only; a replaced one may be too.
    ::SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_NORMAL);
    {
        const UniqueHandle file(ValidOrNull(::CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ,
                                                          nullptr, OPEN_EXISTING,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file == nullptr || !::FlushFileBuffers(file.get())) return false;
    }
    return ::MoveFileExW(Wide(path), Wide(target),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool DiscardFile(const std::u16string& path)
{
    ::SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(Wide(path)) != FALSE;
}

bool MakeEmptyFile(const std::u16string& path)
{
    return UniqueHandle(ValidOrNull(::CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr))) != nullptr;
}

} // namespace tala::os
