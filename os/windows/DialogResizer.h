// Lets a dialog be resized: its controls follow the frame as their anchoring
// says, measured from the dialog's initial size, which is also its smallest;
// a size grip sits in the lower-right corner except while it is maximised.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace tala::os {

// How a control follows a change of the dialog's size; combined with |.
enum Anchoring : unsigned {
    kFixed = 0,
    kMoveRight = 1u << 0,  // its left edge keeps its distance to the right edge
    kMoveDown = 1u << 1,   // its top edge keeps its distance to the bottom edge
    kGrowWidth = 1u << 2,  // its right edge keeps its distance to the right edge
    kGrowHeight = 1u << 3, // its bottom edge keeps its distance to the bottom edge
};

struct AnchoredControl {
    int id;
    unsigned anchoring;
};

class DialogResizer {
public:
    // At WM_INITDIALOG, while the dialog has its template's size. Also gives
    // the dialog the clip-children style, so it does not paint over its
    // controls (a group box among them should be transparent).
    void Attach(HWND dialog, std::span<const AnchoredControl> controls);

    // WM_SIZE with its parameters.
    void Resize(WPARAM kind, LPARAM clientSize);

    // WM_GETMINMAXINFO: the initial size is the smallest. Nothing before Attach.
    void LimitSize(MINMAXINFO& limits) const;

private:
    struct Placement {
        HWND window;
        RECT initial; // in the dialog's client coordinates
        unsigned anchoring;
    };

    void Place(int widthChange, int heightChange) const;

    HWND dialog_ = nullptr;
    SIZE initialClient_{};
    SIZE initialFrame_{};
    std::vector<Placement> placements_;
    // A child of the dialog, destroyed with it.
    HWND grip_ = nullptr;
};

} // namespace tala::os
