#include "runtime/VersionNumber.h"

#include "os/DecimalText.h"

#include <limits>

namespace tala {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t FindDigit(std::u16string_view text, std::size_t from)
{
    while (from < text.size() && !IsDigit(text[from])) ++from;
    return from;
}

} // namespace

bool VersionNumber::Parse(std::u16string_view text, std::int32_t fill)
{
    *this = VersionNumber();
    std::size_t position = FindDigit(text, 0);
    std::size_t read = 0;
    while (position < text.size() && read < 4) {
        std::int32_t value = 0;
        for (; position < text.size() && IsDigit(text[position]); ++position) {
            const std::int32_t digit = static_cast<std::int32_t>(text[position] - u'0');
            if (value > (std::numeric_limits<std::int32_t>::max() - digit) / 10) {
                *this = VersionNumber();
                return false;
            }
            value = value * 10 + digit;
        }
        parts[read++] = value;
        position = FindDigit(text, position);
    }
    if (read == 0) return false;
    for (std::size_t i = read; i < 4; ++i) parts[i] = fill;
    partCount = static_cast<std::int32_t>(read);
    return true;
}

VersionNumber VersionNumber::ParseBound(std::u16string_view text, Bound bound)
{
    if (text == u"any") {
        const std::int32_t part = bound == Bound::Minimum ? 0 : kCeilingPart;
        return VersionNumber(part, part, part, part);
    }
    VersionNumber version;
    version.Parse(text, bound == Bound::Minimum ? 0 : kCeilingPart);
    return version;
}

int VersionNumber::Compare(const VersionNumber& a, const VersionNumber& b)
{
    for (std::size_t i = 0; i < 4; ++i) {
        if (a.parts[i] != b.parts[i]) return a.parts[i] < b.parts[i] ? -1 : 1;
    }
    return 0;
}

bool VersionNumber::MatchesPrefix(const VersionNumber& candidate, const VersionNumber& pattern)
{
    std::size_t significant = 4;
    while (significant > 0 && pattern.parts[significant - 1] == 0) --significant;
    for (std::size_t i = 0; i < significant; ++i) {
        if (candidate.parts[i] != pattern.parts[i]) return false;
    }
    return true;
}

bool VersionNumber::IsUnbounded() const
{
    auto all = [this](std::int32_t value) {
        for (const std::int32_t part : parts) {
            if (part != value) return false;
        }
        return true;
    };
    return all(0) || all(kCeilingPart);
}

std::u16string VersionNumber::ToDisplayString() const
{
    std::size_t shown = 4; // parts up to and including the last significant one
    while (shown > 0 && (parts[shown - 1] == 0 || parts[shown - 1] == kCeilingPart)) --shown;
    if (shown == 0) return u"0.0.0.0";
    if (shown < 2) shown = 2;
    std::u16string text;
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += u'.';
        text += os::SignedDecimalText(parts[i]);
    }
    return text;
}

} // namespace tala
