#include "tests/windows/FolderPicker.h"

#include "tests/windows/WaitUntil.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>

namespace tala::test {
namespace {

constexpr UINT kMessageMilliseconds = 5000;

// Memory in the picker's process, for messages whose parameters point to
// data: it reads and writes them in its own memory.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : process_(process),
          address_(static_cast<char*>(
              ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~RemoteMemory() { ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* At(std::size_t offset) const { return address_ + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const
    {
        return ::WriteProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const
    {
        return ::ReadProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
    }

private:
    HANDLE process_;
    char* address_;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result)
{
    return ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageMilliseconds,
                                 &result) != 0;
}

// The text of the tree's selected item; empty when nothing is selected.
std::wstring SelectedFolderName(HANDLE process, HWND tree)
{
    DWORD_PTR item = 0;
    if (!Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, item) || item == 0) return {};
    std::wstring text(MAX_PATH, L'\0');
    const std::size_t textBytes = text.size() * sizeof(wchar_t);
    const RemoteMemory remote(process, sizeof(TVITEMW) + textBytes);
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(TVITEMW)));
    query.cchTextMax = static_cast<int>(text.size());
    DWORD_PTR found = 0;
    if (!remote.Write(0, &query, sizeof query) ||
        !Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)), found) || !found ||
        !remote.Read(sizeof(TVITEMW), text.data(), textBytes)) {
        return {};
    }
    text.resize(text.find(L'\0'));
    return text;
}

} // namespace

bool PickFolder(HANDLE process, HWND picker, const std::filesystem::path& folder)
{
    constexpr int kTreeId = 14145; // the picker's tree, which shows and holds the selection
    const HWND tree = ::GetDlgItem(picker, kTreeId);
    // The picker fills its tree and selects its first folder after it shows
    // up; a selection made before that would be overwritten.
    if (tree == nullptr || !WaitUntil([&] { return !SelectedFolderName(process, tree).empty(); }, 5s)) return false;

    const std::wstring path = folder.wstring();
    const std::size_t size = (path.size() + 1) * sizeof(wchar_t);
    const RemoteMemory remote(process, size);
    const bool selected = remote.Write(0, path.c_str(), size) && WaitUntil(
        [&] {
            DWORD_PTR ignored = 0;
            Send(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.At(0)), ignored);
            return SelectedFolderName(process, tree) == folder.filename().wstring();
        },
        5s);
    return selected && ::PostMessageW(::GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
}

} // namespace tala::test
