// The small rules by which setting values become lists, trimmed strings and
// switches. Every reader uses these, so a value means the same wherever it is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tala {

using StringList = std::vector<std::u16string>;

// Splits at every occurrence of separator: adjacent separators give an empty
// element, a leading one an empty first element, a trailing one nothing.
// An empty text gives no element.
void SplitString(std::u16string_view text, std::u16string_view separator, StringList& list);

// The white space of the Unicode character database (the characters the
// platform's iswspace classes as spaces).
bool IsWhiteSpace(char16_t c);

std::u16string TrimWhiteSpace(std::u16string_view text);

// Whole-value switch tests: exactly, or with ASCII letters matched caselessly.
bool IsExactly(std::u16string_view value, std::u16string_view literal);
bool IsCaseless(std::u16string_view value, std::u16string_view literal);

// Every occurrence of from replaced by to.
std::u16string ReplaceAll(std::u16string text, char16_t from, char16_t to);

} // namespace tala
