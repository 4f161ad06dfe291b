#include "launcher/MessageFormat.h"

#include "os/DecimalText.h"

namespace tala {
namespace {

std::u16string AsText(const MessageArgument& argument)
{
    if (const auto* text = std::get_if<std::u16string>(&argument)) return *text;
    return os::SignedDecimalText(std::get<std::int32_t>(argument));
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
