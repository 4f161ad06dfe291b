#include "os/LocalTime.h"

#include <windows.h>

namespace tala::os {

LocalTime ReadLocalTime()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
            now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

} // namespace tala::os
