#include "os/ExceptionPrompt.h"

#include "os/windows/DialogPlacement.h"
#include "os/windows/DialogResizer.h"
#include "os/windows/Wide.h"
#include "resources/DialogIds.h"

#include <windows.h>

namespace tala::os {
namespace {

// How the controls follow the frame when the user resizes the dialog.
constexpr AnchoredControl kLayout[] = {
    {IDOK, kMoveRight | kMoveDown},
    {IDCANCEL, kMoveRight | kMoveDown},
    {IDC_EXCEPTION_GROUP, kGrowWidth | kGrowHeight},
    {IDC_EXCEPTION_ICON, kFixed},
    {IDC_EXCEPTION_INTRO, kGrowWidth},
    {IDC_STACK_TRACE, kGrowWidth | kGrowHeight},
    {IDC_IGNORE_HINT, kGrowWidth | kMoveDown},
    {IDC_STOP_WARNING, kGrowWidth | kMoveDown},
};

// What the dialog works with while it is shown; it reaches the dialog
// procedure through the dialog's user data.
struct DialogState {
    const std::u16string& stackTrace;
    DialogResizer resizer;
};

void Start(HWND dialog, DialogState& state)
{
    ::SetDlgItemTextW(dialog, IDC_STACK_TRACE, Wide(state.stackTrace));
    // Selectable and copyable, not changeable.
    ::SendDlgItemMessageW(dialog, IDC_STACK_TRACE, EM_SETREADONLY, TRUE, 0);
    CentreDialog(dialog);
    state.resizer.Attach(dialog, kLayout);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Start(dialog, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    }
    // Size messages come before WM_INITDIALOG too, with no state yet.
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (state == nullptr) return FALSE;
    switch (message) {
    case WM_GETMINMAXINFO:
        state->resizer.LimitSize(*reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case WM_SIZE:
        state->resizer.Resize(wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        // Escape and the close box send the cancel command: Stop.
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

ExceptionChoice AskIgnoreOrStop(const std::u16string& stackTrace)
{
    DialogState state{stackTrace, {}};
    const INT_PTR result =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_JAVA_EXCEPTION),
                          ::GetActiveWindow(), &Procedure, reinterpret_cast<LPARAM>(&state));
    // A dialog that could not be created counts as Stop, like closing it.
    return result == IDOK ? ExceptionChoice::Ignore : ExceptionChoice::Stop;
}

} // namespace tala::os
