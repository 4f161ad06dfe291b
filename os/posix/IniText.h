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

// UTF-8 with or without a byte-order mark, or UTF-16 with one (an odd last
// byte is no code unit). With byteOffsets, also where each code unit starts
// in bytes, and one more entry for the end of the last one.
DecodedText Decode(std::string_view bytes, std::vector<std::size_t>* byteOffsets = nullptr);

std::optional<std::u16string> FindValue(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key);

std::vector<std::u16string> SectionNames(std::u16string_view text);

// The text with the key set: its first line in the section is replaced, or a
// line is added at the end of the section, or the section is appended. Every
// other line stays as it was.
std::u16string WithValue(std::u16string_view text, std::u16string_view section,
                         std::u16string_view key, std::u16string_view value);

// A file's bytes with the key set as WithValue sets it, the way the Windows
// profile functions write: only the bytes of the changed or added lines are
// new (in the file's encoding); every other byte stays as it was, also bytes
// that are not valid in that encoding and an odd last byte of UTF-16.
std::string WithValueInFile(std::string_view bytes, std::u16string_view section,
                            std::u16string_view key, std::u16string_view value);

} // namespace tala::os::ini
