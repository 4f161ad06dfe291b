// What the dialog tests share: the launcher's texts filled in as it fills
// them, the controls of a dialog of another process as the user sees them,
// and test names from the cases' own names.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace tala::test {

// A text of the string table with its "%s" filled in order.
std::wstring FormatMessageText(int id, const std::vector<std::wstring>& arguments = {});

struct SeenControl {
    int id;
    std::wstring className;
    std::wstring text;
    RECT rect; // in the dialog's client coordinates
};

// The dialog's visible controls in window order.
std::vector<SeenControl> ControlsOf(HWND dialog);

// The child window of this class and style bits, if any.
HWND FindChild(HWND dialog, const std::wstring& className, DWORD styleBits);

// "1.8 and 1.8" -> "1_8_and_1_8".
std::string TestNameOf(const std::string& text);

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& tested)
{
    return TestNameOf(tested.param.name);
}

// A dialog id as the dialog manager gives it back: -1 of a classic
// template reads as 65535.
inline int ClassicId(int id)
{
    return id & 0xFFFF;
}

} // namespace tala::test
