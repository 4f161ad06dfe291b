#include "pack/PackFiles.h"

#include "os/Utf8.h"
#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <string>

namespace tala::pack {
namespace {

std::u16string Reason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string reason =
        length != 0 ? os::FromWide(text, length) : u"error " + os::FromUtf8(std::to_string(error));
    ::LocalFree(text);
    while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r' || reason.back() == u'.')) {
        reason.pop_back();
    }
    return reason;
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::u16string& path, std::string& bytes, std::u16string& reason)
{
    const os::UniqueHandle file(
        os::ValidOrNull(::CreateFileW(os::Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)));
    LARGE_INTEGER size{};
    if (file == nullptr || !::GetFileSizeEx(file.get(), &size)) {
        reason = Reason(::GetLastError());
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const auto chunk =
            static_cast<DWORD>(bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30));
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) {
            reason = Reason(::GetLastError());
            return false;
        }
        done += read;
    }
    return true;
}

bool WriteFileInPlace(const std::u16string& path, std::string_view bytes, const std::u16string&,
                      std::u16string& reason)
{
    const std::u16string temporary =
        path + u".tala-pack-" + os::FromUtf8(std::to_string(::GetCurrentProcessId()));
    bool written = false;
    {
        const os::UniqueHandle file(os::ValidOrNull(::CreateFileW(
            os::Wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file == nullptr) {
            reason = Reason(::GetLastError());
            return false;
        }
        written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    }
    written = written && ::MoveFileExW(os::Wide(temporary), os::Wide(path),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        reason = Reason(::GetLastError());
        ::DeleteFileW(os::Wide(temporary));
    }
    return written;
}

void PrintLine(std::u16string_view text, bool toError)
{
    const HANDLE stream = ::GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(stream, &mode)) {
        const std::u16string line = std::u16string(text) + u"\r\n";
        ::WriteConsoleW(stream, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    // Redirected: UTF-8, as other tools in a build pipeline expect.
    const std::string line = os::ToUtf8(text) + "\r\n";
    ::WriteFile(stream, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

} // namespace tala::pack
