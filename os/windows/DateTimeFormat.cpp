#include "os/DateTimeFormat.h"

#include "os/windows/Wide.h"

#include <windows.h>

namespace tala::os {
namespace {

SYSTEMTIME ToSystemTime(const LocalTime& time)
{
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(time.year);
    system.wMonth = static_cast<WORD>(time.month);
    system.wDayOfWeek = static_cast<WORD>(time.dayOfWeek);
    system.wDay = static_cast<WORD>(time.day);
    system.wHour = static_cast<WORD>(time.hour);
    system.wMinute = static_cast<WORD>(time.minute);
    system.wSecond = static_cast<WORD>(time.second);
    system.wMilliseconds = static_cast<WORD>(time.milliseconds);
    return system;
}

// A picture whose result does not fit the 260 characters the launcher has
// always allowed stays as written rather than becoming an empty name.
constexpr int kRoom = 260;

// GetTimeFormatW and GetDateFormatW take the same arguments.
using PictureFormatter = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

std::u16string Format(PictureFormatter format, const std::u16string& picture, const LocalTime& time)
{
    const SYSTEMTIME system = ToSystemTime(time);
    wchar_t buffer[kRoom];
    const int length = format(LOCALE_USER_DEFAULT, 0, &system, Wide(picture), buffer, kRoom);
    return length > 0 ? FromWide(buffer) : picture;
}

} // namespace

std::u16string FormatTimePictures(const std::u16string& picture, const LocalTime& time)
{
    return Format(::GetTimeFormatW, picture, time);
}

std::u16string FormatDatePictures(const std::u16string& picture, const LocalTime& time)
{
    return Format(::GetDateFormatW, picture, time);
}

} // namespace tala::os
