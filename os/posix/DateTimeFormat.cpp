#include "os/DateTimeFormat.h"

#include "os/DateTimePictures.h"

namespace tala::os {

std::u16string FormatTimePictures(const std::u16string& picture, const LocalTime& time)
{
    return ApplyTimePictures(picture, time);
}

std::u16string FormatDatePictures(const std::u16string& picture, const LocalTime& time)
{
    return ApplyDatePictures(picture, time);
}

} // namespace tala::os
