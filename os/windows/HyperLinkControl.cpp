#include "os/windows/HyperLinkControl.h"

#include "os/windows/ComApartment.h"
#include "os/windows/UniqueHandle.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <array>
#include <string>

namespace tala::os {
namespace {

// The window property that leads from a control to the link object that
// took it over.
constexpr wchar_t kLinkProperty[] = L"TalaHyperLink";

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

std::optional<int> ParseColourPart(std::wstring_view text)
{
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value > 255) return std::nullopt;
    return value;
}

std::optional<COLORREF> ReadColour(HKEY key, const wchar_t* name)
{
    // A colour text is short; a longer value is no colour.
    std::array<wchar_t, 64> data{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring_view text(data.data(), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
    return ParseColourTriple(text);
}

// The link colours the user chose for the browser, where there are any.
void ReadLinkColours(COLORREF& colour, COLORREF& visitedColour)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0,
                        KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    const UniqueRegistryKey settings(key);
    if (const auto chosen = ReadColour(settings.get(), L"Anchor Color")) colour = *chosen;
    if (const auto chosen = ReadColour(settings.get(), L"Anchor Color Visited")) visitedColour = *chosen;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

} // namespace

std::optional<COLORREF> ParseColourTriple(std::wstring_view text)
{
    std::array<int, 3> parts{};
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const std::size_t comma = text.find(L',');
        const bool last = index + 1 == parts.size();
        // Exactly two commas: the last part runs to the end.
        if (last != (comma == std::wstring_view::npos)) return std::nullopt;
        const auto part = ParseColourPart(text.substr(0, comma));
        if (!part) return std::nullopt;
        parts[index] = *part;
        if (!last) text.remove_prefix(comma + 1);
    }
    return RGB(parts[0], parts[1], parts[2]);
}

HyperLinkControl::~HyperLinkControl()
{
    Detach();
}

bool HyperLinkControl::Attach(HWND control)
{
    if (control == nullptr || control_ != nullptr) return false;
    ReadLinkColours(colour_, visitedColour_);

    // A static control is transparent to the mouse without the notify style;
    // the tab stop lets the keyboard reach it for Enter and Space.
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    ::SetWindowLongPtrW(control, GWL_STYLE, style | SS_NOTIFY | WS_TABSTOP);

    LOGFONTW description{};
    const HFONT font = FontOf(control);
    const HGDIOBJ source = font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT);
    if (::GetObjectW(source, sizeof description, &description) == sizeof description) {
        description.lfUnderline = TRUE;
        underlinedFont_.reset(::CreateFontIndirectW(&description));
    }

    // Subclassed through user32 alone: the launcher links no common
    // controls library, which could be taken from its own folder.
    if (!::SetPropW(control, kLinkProperty, this)) return false;
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HyperLinkControl::Procedure)));
    if (previous_ == nullptr) {
        ::RemovePropW(control, kLinkProperty);
        return false;
    }
    control_ = control;

    // The tooltip names the address; it relays the control's mouse messages
    // itself (its own subclass) and goes with the dialog that owns it. Its
    // class comes from the common controls the manifest names: the system
    // loads them from its side-by-side store when the window is made.
    const HWND dialog = ::GetParent(control);
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (tooltip_) {
        std::wstring address = TextOf(control);
        TTTOOLINFOW tool{};
        // The size the common controls of every version accept.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = address.data(); // copied by the tooltip
        ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::InvalidateRect(control, nullptr, TRUE);
    return true;
}

void HyperLinkControl::Detach()
{
    if (control_ == nullptr) return;
    ::SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    ::RemovePropW(control_, kLinkProperty);
    control_ = nullptr;
}

LRESULT CALLBACK HyperLinkControl::Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* self = static_cast<HyperLinkControl*>(::GetPropW(control, kLinkProperty));
    if (self == nullptr) return ::DefWindowProcW(control, message, wParam, lParam);
    return self->Handle(control, message, wParam, lParam);
}

LRESULT HyperLinkControl::Previous(HWND control, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::CallWindowProcW(previous_, control, message, wParam, lParam);
}

LRESULT HyperLinkControl::Handle(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        // A shared system cursor: the system owns it, nobody destroys it.
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_PAINT:
        Paint(control);
        return 0;
    case WM_LBUTTONUP: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT area{};
        ::GetClientRect(control, &area);
        if (::PtInRect(&area, at)) Open(control);
        break;
    }
    case WM_GETDLGCODE: {
        // Enter would otherwise press the dialog's default button.
        LRESULT code = Previous(control, message, wParam, lParam);
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
            code |= DLGC_WANTMESSAGE;
        }
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            Open(control);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The focus rectangle comes and goes.
        ::InvalidateRect(control, nullptr, TRUE);
        break;
    case WM_NCDESTROY: {
        // The last message: handed on after the control is given back.
        const WNDPROC previous = previous_;
        Detach();
        return ::CallWindowProcW(previous, control, message, wParam, lParam);
    }
    default:
        break;
    }
    return Previous(control, message, wParam, lParam);
}

void HyperLinkControl::Paint(HWND control)
{
    const PaintScope paint(control);
    const HDC dc = paint.Dc();
    RECT area{};
    ::GetClientRect(control, &area);

    // The dialog's own background, as it gives every static control.
    auto background = reinterpret_cast<HBRUSH>(::SendMessageW(
        ::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    if (background == nullptr) background = ::GetSysColorBrush(COLOR_BTNFACE);
    ::FillRect(dc, &area, background);

    const std::wstring text = TextOf(control);
    const SelectionScope font(dc, underlinedFont_ ? underlinedFont_.get() : FontOf(control));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, visited_ ? visitedColour_ : colour_);
    constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kFormat | DT_END_ELLIPSIS);
    if (::GetFocus() == control) {
        RECT textArea = area;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, kFormat | DT_CALCRECT);
        ::IntersectRect(&textArea, &textArea, &area);
        ::DrawFocusRect(dc, &textArea);
    }
}

void HyperLinkControl::Open(HWND control)
{
    const std::wstring address = TextOf(control);
    if (address.empty()) return;
    // Some shell handlers of an address are COM objects.
    const ComApartment com;
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(::GetParent(control), L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        visited_ = true;
        ::InvalidateRect(control, nullptr, TRUE);
    }
}

} // namespace tala::os
