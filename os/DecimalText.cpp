#include "os/DecimalText.h"

namespace tala::os {

std::u16string DecimalText(std::uint64_t value, std::size_t minimumDigits)
{
    char16_t digits[20];
    std::size_t count = 0;
    do {
        digits[sizeof digits / sizeof digits[0] - ++count] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::u16string text(minimumDigits > count ? minimumDigits - count : 0, u'0');
    text.append(digits + sizeof digits / sizeof digits[0] - count, count);
    return text;
}

std::u16string SignedDecimalText(std::int64_t value)
{
    // From the magnitude as unsigned, so the most negative value needs no special case.
    const auto magnitude = static_cast<std::uint64_t>(value);
    if (value >= 0) return DecimalText(magnitude);
    return u'-' + DecimalText(0u - magnitude);
}

} // namespace tala::os
