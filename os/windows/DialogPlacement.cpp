#include "os/windows/DialogPlacement.h"

#include <algorithm>

namespace tala::os {
namespace {

// The start of a span of this length centred in [low, high), moved to lie
// within [low, high) as far as it fits.
LONG Centred(LONG low, LONG high, LONG length, LONG areaLow, LONG areaHigh)
{
    const LONG start = low + (high - low - length) / 2;
    return std::max(areaLow, std::min(start, areaHigh - length));
}

} // namespace

void CentreDialog(HWND dialog)
{
    RECT frame{};
    if (!::GetWindowRect(dialog, &frame)) return;
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    const bool overOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                           &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    RECT around = area;
    if (overOwner) ::GetWindowRect(owner, &around);

    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    const LONG x = Centred(around.left, around.right, width, area.left, area.right);
    const LONG y = Centred(around.top, around.bottom, height, area.top, area.bottom);
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tala::os
