#include "os/Utf8.h"

namespace tala::os {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Writes the code as one or two UTF-16 units; returns where the next goes.
char16_t* PutUtf16(char16_t* next, char32_t code)
{
    if (code < 0x10000) {
        *next++ = static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        *next++ = static_cast<char16_t>(0xD800 + (code >> 10));
        *next++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
    return next;
}

// Length of the sequence a lead byte starts and the bits it carries; 0 for a
// byte that cannot start one.
std::size_t SequenceLength(unsigned char lead, char32_t& bits)
{
    if (lead < 0x80) { bits = lead; return 1; }
    if (lead >= 0xC0 && lead < 0xE0) { bits = lead & 0x1F; return 2; }
    if (lead >= 0xE0 && lead < 0xF0) { bits = lead & 0x0F; return 3; }
    if (lead >= 0xF0 && lead < 0xF5) { bits = lead & 0x07; return 4; }
    return 0;
}

bool IsAcceptable(char32_t code, std::size_t length)
{
    if (length == 1) return true;
    if (length == 2) return code >= 0x80 || code == 0; // C0 80 is Java's U+0000
    if (length == 3) return code >= 0x800;
    return code >= 0x10000 && code <= 0x10FFFF;
}

} // namespace

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view bytes, std::vector<std::size_t>* unitStarts)
{
    // No sequence gives more code units than it has bytes, so the units are
    // written straight into a string of that size, cut to length at the end:
    // settings files of many megabytes are decoded on every read.
    std::u16string out(bytes.size(), u'\0');
    char16_t* const first = out.data();
    char16_t* next = first;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (unitStarts != nullptr) unitStarts->clear();
    std::size_t i = 0;
    std::size_t start = 0; // of the sequence the last units came from
    while (i < size) {
        if (unitStarts != nullptr) unitStarts->resize(static_cast<std::size_t>(next - first), start);
        start = i;
        if (data[i] < 0x80) {
            *next++ = data[i++];
            continue;
        }
        char32_t code = 0;
        const std::size_t length = SequenceLength(data[i], code);
        if (length == 0) {
            *next++ = static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        // A cut or broken sequence becomes one replacement for what it took.
        std::size_t taken = 1;
        while (taken < length && i + taken < size && (data[i + taken] & 0xC0) == 0x80) {
            code = (code << 6) | (data[i + taken] & 0x3F);
            ++taken;
        }
        if (taken < length || !IsAcceptable(code, length)) {
            *next++ = static_cast<char16_t>(kReplacement);
            i += taken;
            continue;
        }
        next = PutUtf16(next, code);
        i += length;
    }
    if (unitStarts != nullptr) unitStarts->resize(static_cast<std::size_t>(next - first), start);
    out.resize(static_cast<std::size_t>(next - first));
    return out;
}

} // namespace tala::os
