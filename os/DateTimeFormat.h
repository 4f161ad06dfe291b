// Date and time pictures (HH, mm, yyyy, MMM...) filled from a local time: the
// time pictures first, then the date pictures, as the Windows formatting
// functions do in the user's locale; elsewhere with the same letters and the
// C locale's names.
#pragma once

#include "os/LocalTime.h"

#include <string>

namespace tala::os {

// h, hh, H, HH, m, mm, s, ss, t, tt; text in single quotes is copied without them.
std::u16string FormatTimePictures(const std::u16string& picture, const LocalTime& time);

// d, dd, ddd, dddd, M, MM, MMM, MMMM, y, yy, yyyy, g, gg; quoted text likewise.
std::u16string FormatDatePictures(const std::u16string& picture, const LocalTime& time);

} // namespace tala::os
