#include "launcher/MessageFormat.h"

namespace tala {
namespace {

std::u16string Decimal(std::int32_t number)
{
    // Built from the magnitude as unsigned, so INT32_MIN needs no special case.
    std::uint32_t magnitude = number < 0 ? 0u - static_cast<std::uint32_t>(number)
                                         : static_cast<std::uint32_t>(number);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) digits.insert(digits.begin(), u'-');
    return digits;
}

std::u16string AsText(const MessageArgument& argument)
{
    if (const auto* text = std::get_if<std::u16string>(&argument)) return *text;
    return Decimal(std::get<std::int32_t>(argument));
}

} // namespace

std::u16string FormatMessageText(std::u16string_view format,
                                 std::initializer_list<MessageArgument> arguments)
{
    std::u16string result;
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool isConversion = format[i] == u'%' && i + 1 < format.size() &&
                                  (format[i + 1] == u's' || format[i + 1] == u'd');
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'%') {
            result += u'%';
            ++i;
        } else if (isConversion) {
            // A missing argument formats as nothing rather than reading past the list.
            if (next != arguments.end()) result += AsText(*next++);
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

} // namespace tala
