#include "settings/StringRules.h"

namespace tala {

void SplitString(std::u16string_view text, std::u16string_view separator, StringList& list)
{
    list.clear();
    if (text.empty()) return;
    std::size_t position = 0;
    for (;;) {
        const std::size_t found = text.find(separator, position);
        if (found == std::u16string_view::npos || separator.empty()) break;
        list.emplace_back(text.substr(position, found - position));
        position = found + separator.size();
        if (position >= text.size()) return;
    }
    list.emplace_back(text.substr(position));
}

bool IsWhiteSpace(char16_t c)
{
    switch (c) {
    case 0x0009: case 0x000A: case 0x000B: case 0x000C: case 0x000D: case 0x0020:
    case 0x0085: case 0x00A0: case 0x1680: case 0x2028: case 0x2029: case 0x202F:
    case 0x205F: case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

std::u16string TrimWhiteSpace(std::u16string_view text)
{
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    return std::u16string(text);
}

bool IsExactly(std::u16string_view value, std::u16string_view literal) { return value == literal; }

bool IsCaseless(std::u16string_view value, std::u16string_view literal)
{
    if (value.size() != literal.size()) return false;
    auto fold = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; };
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (fold(value[i]) != fold(literal[i])) return false;
    }
    return true;
}

std::u16string ReplaceAll(std::u16string text, char16_t from, char16_t to)
{
    for (char16_t& c : text) {
        if (c == from) c = to;
    }
    return text;
}

} // namespace tala
