#include "os/DateTimePictures.h"

#include "os/DecimalText.h"

#include <array>

namespace tala::os {
namespace {

constexpr std::array<std::u16string_view, 7> kDayNames{u"Sunday", u"Monday", u"Tuesday", u"Wednesday",
                                                       u"Thursday", u"Friday", u"Saturday"};
constexpr std::array<std::u16string_view, 12> kMonthNames{
    u"January", u"February", u"March", u"April", u"May", u"June", u"July",
    u"August", u"September", u"October", u"November", u"December"};

// Every field of a local time is positive or zero.
std::u16string Number(int value, std::size_t width)
{
    return DecimalText(static_cast<std::uint64_t>(value), width);
}

std::u16string_view Clipped(std::u16string_view name, std::size_t count)
{
    return count >= 4 ? name : name.substr(0, 3);
}

// What a run of one picture letter stands for; nothing for letters that are
// not pictures of this kind.
using Picture = std::u16string (*)(char16_t letter, std::size_t count, const LocalTime& time);

std::u16string TimePicture(char16_t letter, std::size_t count, const LocalTime& time)
{
    const std::size_t width = count >= 2 ? 2 : 1;
    switch (letter) {
    case u'h': return Number(time.hour % 12 == 0 ? 12 : time.hour % 12, width);
    case u'H': return Number(time.hour, width);
    case u'm': return Number(time.minute, width);
    case u's': return Number(time.second, width);
    case u't': return std::u16string(time.hour < 12 ? u"AM" : u"PM").substr(0, width);
    default: return std::u16string(count, letter);
    }
}

std::u16string DatePicture(char16_t letter, std::size_t count, const LocalTime& time)
{
    switch (letter) {
    case u'd':
        if (count <= 2) return Number(time.day, count);
        return std::u16string(Clipped(kDayNames[static_cast<std::size_t>(time.dayOfWeek % 7)], count));
    case u'M':
        if (count <= 2) return Number(time.month, count);
        return std::u16string(Clipped(kMonthNames[static_cast<std::size_t>((time.month + 11) % 12)], count));
    case u'y':
        if (count <= 2) return Number(time.year % 100, count);
        return Number(time.year, 4);
    case u'g': return u"A.D.";
    default: return std::u16string(count, letter);
    }
}

bool IsPictureLetter(char16_t c, std::u16string_view letters)
{
    return letters.find(c) != std::u16string_view::npos;
}

std::u16string Apply(std::u16string_view picture, std::u16string_view letters, Picture expand,
                     const LocalTime& time)
{
    std::u16string result;
    for (std::size_t i = 0; i < picture.size();) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            // Quoted text is copied without its quotes; two quotes in a row are one.
            const std::size_t close = picture.find(u'\'', i + 1);
            if (close == i + 1) {
                result += u'\'';
            } else {
                result.append(picture.substr(i + 1, close == std::u16string_view::npos
                                                        ? std::u16string_view::npos
                                                        : close - i - 1));
            }
            i = close == std::u16string_view::npos ? picture.size() : close + 1;
            continue;
        }
        std::size_t count = 1;
        while (i + count < picture.size() && picture[i + count] == c) ++count;
        result += IsPictureLetter(c, letters) ? expand(c, count, time) : std::u16string(count, c);
        i += count;
    }
    return result;
}

} // namespace

std::u16string ApplyTimePictures(std::u16string_view picture, const LocalTime& time)
{
    return Apply(picture, u"hHmst", TimePicture, time);
}

std::u16string ApplyDatePictures(std::u16string_view picture, const LocalTime& time)
{
    return Apply(picture, u"dMyg", DatePicture, time);
}

} // namespace tala::os
