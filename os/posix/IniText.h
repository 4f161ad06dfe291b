// The settings-file format read the way the Windows private-profile functions
// read it, for platforms that have no such functions: lines end at a line feed
// and lose their surrounding blanks; "[name]" opens a section (the name is the
// text between the first "[" and the last "]"); other lines are "key=value";
// names match without regard to ASCII case; the first matching section and
// key win; one pair of enclosing quotes is stripped from a value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tala::os::ini {

enum class Encoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be };

struct DecodedText {
    std::u16string text;
    Encoding encoding = Encoding::Utf8;
};

// UTF-8 with or without a byte-order mark, or UTF-16 with one.
DecodedText Decode(std::string_view bytes);
std::string Encode(std::u16string_view text, Encoding encoding);

std::optional<std::u16string> FindValue(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key);

std::vector<std::u16string> SectionNames(std::u16string_view text);

// The text with the key set: its first line in the section is replaced, or a
// line is added at the end of the section, or the section is appended. Every
// other line stays as it was.
std::u16string WithValue(std::u16string_view text, std::u16string_view section,
                         std::u16string_view key, std::u16string_view value);

} // namespace tala::os::ini
