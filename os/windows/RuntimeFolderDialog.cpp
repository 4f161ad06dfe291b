#include "os/RuntimeFolderDialog.h"

#include "os/PathText.h"
#include "os/windows/ComApartment.h"
#include "os/windows/DialogPlacement.h"
#include "os/windows/HyperLinkControl.h"
#include "os/windows/Wide.h"
#include "resources/DialogIds.h"

#include <windows.h>

#include <shlobj.h>

#include <memory>

namespace tala::os {
namespace {

// An item list the shell allocated for the caller.
struct ItemListFreer {
    void operator()(ITEMIDLIST* items) const { ::CoTaskMemFree(items); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFreer>;

// What the dialog works with while it is shown; it reaches the dialog
// procedure through the dialog's user data.
struct DialogState {
    const RuntimeFolderTexts& texts;
    const VmLibraryProbe& probe;
    RuntimeFolderChoice choice;
    HyperLinkControl link;
};

void Start(HWND dialog, DialogState& state)
{
    // The link opens what it shows.
    ::SetDlgItemTextW(dialog, IDC_DOWNLOAD_LINK, Wide(state.texts.downloadAddress));
    state.link.Attach(::GetDlgItem(dialog, IDC_DOWNLOAD_LINK));
    ::SetDlgItemTextW(dialog, IDC_NOT_FOUND_MESSAGE, Wide(state.texts.message));
    // Nothing to confirm until Browse has found a VM library.
    ::EnableWindow(::GetDlgItem(dialog, IDOK), FALSE);
    CentreDialog(dialog);
}

// The folder the user picks, as the shell gives its path; nothing when the
// user cancels or picks something that is no file-system folder.
std::optional<std::wstring> PickFolder(HWND dialog, const std::u16string& title)
{
    BROWSEINFOW browse{};
    browse.hwndOwner = dialog;
    browse.lpszTitle = Wide(title);
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    // The picker of the new style works only in a single-threaded apartment.
    const ComApartment com;
    const UniqueItemList picked(::SHBrowseForFolderW(&browse));
    if (!picked) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(picked.get(), path)) return std::nullopt;
    return std::wstring(path);
}

void Browse(HWND dialog, DialogState& state)
{
    const auto path = PickFolder(dialog, state.texts.browseTitle);
    if (!path) return;
    ::SetDlgItemTextW(dialog, IDC_RUNTIME_FOLDER, path->c_str());
    // A drive root already ends in one.
    std::u16string folder = WithTrailingSeparator(FromWide(path->c_str(), path->size()), PathStyle::Windows);
    const auto vmLibrary = state.probe(folder);
    state.choice = {std::move(folder), vmLibrary.value_or(std::u16string())};
    // A folder that is no runtime never leaves OK enabled.
    ::EnableWindow(::GetDlgItem(dialog, IDOK), vmLibrary ? TRUE : FALSE);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Start(dialog, *reinterpret_cast<DialogState*>(lParam));
        // Browse is what the user can do first; OK is disabled.
        ::SetFocus(::GetDlgItem(dialog, IDC_BROWSE));
        return FALSE;
    }
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (state == nullptr || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_BROWSE:
        Browse(dialog, *state);
        return TRUE;
    case IDOK:
        // Even a command sent past the disabled button needs a VM library.
        if (!state->choice.vmLibrary.empty()) ::EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: // also Escape and the close box
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

std::optional<RuntimeFolderChoice> AskForRuntimeFolder(const RuntimeFolderTexts& texts,
                                                       const VmLibraryProbe& probe)
{
    DialogState state{texts, probe, {}, {}};
    const INT_PTR result =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RUNTIME_NOT_FOUND),
                          ::GetActiveWindow(), &Procedure, reinterpret_cast<LPARAM>(&state));
    // Anything but OK, a dialog that could not be created included, cancels.
    if (result != IDOK) return std::nullopt;
    return std::move(state.choice);
}

} // namespace tala::os
