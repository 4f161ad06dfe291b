// What the dialog tests share: the launcher's texts filled in as it fills
// them, the controls of a dialog of another process as the user sees them,
// and test names from the cases' own names.
#pragma once

#include "tests/shared/CaseName.h"

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

// A dialog id as the dialog manager gives it back: -1 of a classic
// template reads as 65535.
inline int ClassicId(int id)
{
    return id & 0xFFFF;
}

} // namespace tala::test
