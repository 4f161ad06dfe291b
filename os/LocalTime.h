// The local time, as the date and time pictures of file names use it.
#pragma once

#include <cstdint>

namespace tala::os {

struct LocalTime {
    int year = 1601;
    int month = 1;     // 1 to 12
    int dayOfWeek = 1; // 0 is Sunday
    int day = 1;       // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

LocalTime ReadLocalTime();

} // namespace tala::os
