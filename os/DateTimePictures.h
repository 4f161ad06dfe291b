// The launcher's own reading of the Windows date and time pictures, with the
// C locale's day and month names, for platforms without the Windows functions.
#pragma once

#include "os/LocalTime.h"

#include <string>
#include <string_view>

namespace tala::os {

std::u16string ApplyTimePictures(std::u16string_view picture, const LocalTime& time);
std::u16string ApplyDatePictures(std::u16string_view picture, const LocalTime& time);

} // namespace tala::os
