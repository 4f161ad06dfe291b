// Fills a message text printf-style: "%s" takes a text, "%d" a signed 32-bit
// number in decimal, "%%" is a percent sign. Message texts use nothing else,
// so the launcher formats them itself and both builds agree to the character.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tala {

using MessageArgument = std::variant<std::u16string, std::int32_t>;

std::u16string FormatMessageText(std::u16string_view format,
                                 std::initializer_list<MessageArgument> arguments);

} // namespace tala
