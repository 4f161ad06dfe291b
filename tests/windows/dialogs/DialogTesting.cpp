#include "tests/windows/dialogs/DialogTesting.h"

#include "tests/windows/MessageTexts.h"
#include "tests/windows/dialogs/LauncherRun.h"

namespace tala::test {

std::wstring FormatMessageText(int id, const std::vector<std::wstring>& arguments)
{
    const std::wstring_view format = MessageTextOf(id);
    std::wstring text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size() && format[i + 1] == L's') {
            if (next < arguments.size()) text += arguments[next];
            ++next;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

std::vector<SeenControl> ControlsOf(HWND dialog)
{
    std::vector<SeenControl> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        wchar_t name[64] = {};
        const int length = ::GetClassNameW(child, name, 64);
        const std::wstring className(name, static_cast<std::size_t>(length > 0 ? length : 0));
        controls.push_back({::GetDlgCtrlID(child), className, TextOf(child), RectInDialog(child, dialog)});
    }
    return controls;
}

HWND FindChild(HWND dialog, const std::wstring& className, DWORD styleBits)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, 64);
        const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        if (::CompareStringOrdinal(name, -1, className.c_str(), -1, TRUE) == CSTR_EQUAL &&
            (style & styleBits) == styleBits) {
            return child;
        }
    }
    return nullptr;
}

} // namespace tala::test
