// A static text control turned into a link: its own text is both what it
// shows and the address it opens with the shell. Underlined, in the user's
// link colours, with the hand cursor and a tooltip naming the address.
#pragma once

#include "os/windows/GdiObjects.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace tala::os {

// A colour written as three decimal numbers separated by commas, red first
// ("0,0,255"), as the browser settings store link colours; nothing for any
// other text.
std::optional<COLORREF> ParseColourTriple(std::wstring_view text);

class HyperLinkControl {
public:
    HyperLinkControl() = default;
    ~HyperLinkControl();
    HyperLinkControl(const HyperLinkControl&) = delete;
    HyperLinkControl& operator=(const HyperLinkControl&) = delete;

    // Takes over a static control of a dialog for the control's lifetime;
    // this object must outlive the control or be destroyed before it.
    bool Attach(HWND control);

private:
    static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Handle(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Previous(HWND control, UINT message, WPARAM wParam, LPARAM lParam) const;
    void Paint(HWND control);
    void Open(HWND control);
    void Detach();

    HWND control_ = nullptr;
    WNDPROC previous_ = nullptr; // the control's own procedure
    COLORREF colour_ = RGB(0, 0, 255);
    COLORREF visitedColour_ = RGB(128, 0, 128);
    bool visited_ = false;
    UniqueFont underlinedFont_;
    UniqueWindow tooltip_;
};

} // namespace tala::os
