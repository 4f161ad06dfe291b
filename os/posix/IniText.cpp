#include "os/posix/IniText.h"

#include "os/Utf8.h"

namespace tala::os::ini {
namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
           c == 0x1A;
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

bool EqualsCaseless(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// One line of the file, located in the whole text so it can be replaced.
struct Line {
    std::size_t begin = 0;  // first character of the line
    std::size_t end = 0;    // the line feed ending it, or the end of the text
    bool isHeader = false;
    std::u16string_view name;  // section name of a header, key of an entry
    std::u16string_view value; // value of an entry
};

Line ParseLine(std::u16string_view text, std::size_t begin, std::size_t end)
{
    Line line;
    line.begin = begin;
    line.end = end;
    const std::u16string_view content = Trim(text.substr(begin, end - begin));
    if (!content.empty() && content.front() == u'[') {
        const std::size_t close = content.rfind(u']');
        if (close != std::u16string_view::npos) {
            line.isHeader = true;
            line.name = content.substr(1, close - 1);
            return line;
        }
    }
    const std::size_t equals = content.find(u'=');
    line.name = Trim(content.substr(0, equals));
    if (equals != std::u16string_view::npos) line.value = Trim(content.substr(equals + 1));
    return line;
}

std::vector<Line> ParseLines(std::u16string_view text)
{
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(u'\n', begin);
        if (end == std::u16string_view::npos) end = text.size();
        lines.push_back(ParseLine(text, begin, end));
        begin = end + 1;
    }
    return lines;
}

// Index of the header of the first section with that name, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, std::u16string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].isHeader && EqualsCaseless(lines[i].name, section)) return i;
    }
    return lines.size();
}

std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < lines.size() && !lines[i].isHeader) ++i;
    return i;
}

std::u16string_view StripQuotes(std::u16string_view value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::u16string_view LineEnding(std::u16string_view text)
{
    return text.find(u"\r\n") != std::u16string_view::npos ? u"\r\n" : u"\n";
}

// Offsets counted from the end of a byte-order mark made offsets in the
// whole file, with the end of the last code unit added.
void FinishOffsets(std::vector<std::size_t>* offsets, std::size_t markLength, std::size_t end)
{
    if (offsets == nullptr) return;
    for (std::size_t& offset : *offsets) offset += markLength;
    offsets->push_back(end);
}

// Code units in the file's encoding, without a byte-order mark.
std::string EncodeUnits(std::u16string_view text, Encoding encoding)
{
    if (encoding == Encoding::Utf8 || encoding == Encoding::Utf8WithBom) return ToUtf8(text);
    const bool littleEndian = encoding == Encoding::Utf16Le;
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

// A change of a text: the code units from begin up to end give way to the
// replacement.
struct TextEdit {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::u16string replacement;
};

TextEdit EditForValue(std::u16string_view text, std::u16string_view section,
                      std::u16string_view key, std::u16string_view value)
{
    const std::u16string_view eol = LineEnding(text);
    std::u16string entry(key);
    entry += u'=';
    entry += value;
    const std::vector<Line> lines = ParseLines(text);

    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) {
        std::u16string added;
        if (!text.empty() && text.back() != u'\n') added += eol;
        added += u'[';
        added += section;
        added += u']';
        added += eol;
        added += entry;
        added += eol;
        return {text.size(), text.size(), added};
    }

    const std::size_t end = SectionEnd(lines, header);
    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (EqualsCaseless(lines[i].name, key)) {
            // Keep a carriage return that ended the old line.
            std::size_t stop = lines[i].end;
            if (stop > lines[i].begin && text[stop - 1] == u'\r') --stop;
            return {lines[i].begin, stop, entry};
        }
        if (!Trim(text.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) lastFilled = i;
    }

    const Line& after = lines[lastFilled];
    entry += eol;
    if (after.end >= text.size()) return {text.size(), text.size(), std::u16string(eol) + entry};
    return {after.end + 1, after.end + 1, entry};
}

} // namespace

DecodedText Decode(std::string_view bytes, std::vector<std::size_t>* byteOffsets)
{
    auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    const bool withBom = startsWith("\xEF\xBB\xBF");
    const bool littleEndian = startsWith("\xFF\xFE");
    if (withBom || (!littleEndian && !startsWith("\xFE\xFF"))) {
        const std::size_t mark = withBom ? 3 : 0;
        DecodedText decoded{FromUtf8(bytes.substr(mark), byteOffsets),
                            withBom ? Encoding::Utf8WithBom : Encoding::Utf8};
        FinishOffsets(byteOffsets, mark, bytes.size());
        return decoded;
    }

    DecodedText decoded{{}, littleEndian ? Encoding::Utf16Le : Encoding::Utf16Be};
    decoded.text.reserve(bytes.size() / 2);
    if (byteOffsets != nullptr) byteOffsets->clear();
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        decoded.text += static_cast<char16_t>(littleEndian ? first | (second << 8)
                                                           : (first << 8) | second);
        if (byteOffsets != nullptr) byteOffsets->push_back(i);
    }
    FinishOffsets(byteOffsets, 0, 2 + decoded.text.size() * 2);
    return decoded;
}

std::optional<std::u16string> FindValue(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key)
{
    const std::vector<Line> lines = ParseLines(text);
    const std::size_t header = FindSection(lines, section);
    if (header == lines.size()) return std::nullopt;
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (EqualsCaseless(lines[i].name, key)) return std::u16string(StripQuotes(lines[i].value));
    }
    return std::nullopt;
}

std::vector<std::u16string> SectionNames(std::u16string_view text)
{
    std::vector<std::u16string> names;
    for (const Line& line : ParseLines(text)) {
        if (line.isHeader && !line.name.empty()) names.emplace_back(line.name);
    }
    return names;
}

std::u16string WithValue(std::u16string_view text, std::u16string_view section,
                         std::u16string_view key, std::u16string_view value)
{
    const TextEdit edit = EditForValue(text, section, key, value);
    std::u16string result(text);
    result.replace(edit.begin, edit.end - edit.begin, edit.replacement);
    return result;
}

std::string WithValueInFile(std::string_view bytes, std::u16string_view section,
                            std::u16string_view key, std::u16string_view value)
{
    std::vector<std::size_t> offsets;
    const DecodedText decoded = Decode(bytes, &offsets);
    const TextEdit edit = EditForValue(decoded.text, section, key, value);
    std::string result(bytes.substr(0, offsets[edit.begin]));
    result += EncodeUnits(edit.replacement, decoded.encoding);
    result += bytes.substr(offsets[edit.end]);
    return result;
}

} // namespace tala::os::ini
