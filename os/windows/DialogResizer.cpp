#include "os/windows/DialogResizer.h"

namespace tala::os {
namespace {

RECT RectInDialog(HWND window, HWND dialog)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

void DialogResizer::Attach(HWND dialog, std::span<const AnchoredControl> controls)
{
    RECT client{};
    RECT frame{};
    if (!::GetClientRect(dialog, &client) || !::GetWindowRect(dialog, &frame)) return;
    dialog_ = dialog;
    initialClient_ = {client.right - client.left, client.bottom - client.top};
    initialFrame_ = {frame.right - frame.left, frame.bottom - frame.top};
    ::SetWindowLongPtrW(dialog, GWL_STYLE, ::GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);

    placements_.clear();
    for (const AnchoredControl& control : controls) {
        const HWND window = ::GetDlgItem(dialog, control.id);
        if (window != nullptr) placements_.push_back({window, RectInDialog(window, dialog), control.anchoring});
    }

    const int gripWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int gripHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    grip_ = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP,
                              client.right - gripWidth, client.bottom - gripHeight, gripWidth, gripHeight,
                              dialog, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (grip_ != nullptr) {
        // Above the controls whose corner it may overlap.
        ::SetWindowPos(grip_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        placements_.push_back({grip_, RectInDialog(grip_, dialog), kMoveRight | kMoveDown});
    }
}

void DialogResizer::Resize(WPARAM kind, LPARAM clientSize)
{
    // A minimised dialog keeps its layout for when it comes back.
    if (dialog_ == nullptr || kind == SIZE_MINIMIZED) return;
    Place(LOWORD(clientSize) - initialClient_.cx, HIWORD(clientSize) - initialClient_.cy);
    // A maximised window cannot be resized by its corner.
    if (grip_ != nullptr) ::ShowWindow(grip_, kind == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    // Controls moved away leave their old place to the dialog's background.
    ::InvalidateRect(dialog_, nullptr, TRUE);
}

void DialogResizer::LimitSize(MINMAXINFO& limits) const
{
    if (dialog_ == nullptr) return;
    limits.ptMinTrackSize = {initialFrame_.cx, initialFrame_.cy};
}

void DialogResizer::Place(int widthChange, int heightChange) const
{
    const auto target = [widthChange, heightChange](const Placement& placement) {
        RECT rect = placement.initial;
        if (placement.anchoring & kMoveRight) ::OffsetRect(&rect, widthChange, 0);
        if (placement.anchoring & kMoveDown) ::OffsetRect(&rect, 0, heightChange);
        if (placement.anchoring & kGrowWidth) rect.right += widthChange;
        if (placement.anchoring & kGrowHeight) rect.bottom += heightChange;
        return rect;
    };
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;

    // All at once where the system can; one by one where it could not.
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(placements_.size()));
    for (const Placement& placement : placements_) {
        if (batch == nullptr) break;
        const RECT rect = target(placement);
        // A failing call has given the batch back already.
        batch = ::DeferWindowPos(batch, placement.window, nullptr, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, kFlags);
    }
    if (batch != nullptr && ::EndDeferWindowPos(batch)) return;
    for (const Placement& placement : placements_) {
        const RECT rect = target(placement);
        ::SetWindowPos(placement.window, nullptr, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, kFlags);
    }
}

} // namespace tala::os
