// A Java runtime version: up to four signed 32-bit parts, read leniently from
// registry names, settings bounds and "Preferred versions" entries (any
// non-digit text separates the numbers, so 1.8.0_151 reads as 1.8.0.151).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tala {

class VersionNumber {
public:
    enum class Bound { Minimum, Maximum };
    static constexpr std::int32_t kCeilingPart = 65535;

    VersionNumber() = default;
    VersionNumber(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d,
                  std::int32_t count = 4)
        : parts{a, b, c, d}, partCount(count)
    {
    }

    // Reads up to four numbers; parts not given become fill. False (and
    // 0.0.0.0 with no parts) when the text holds no digit or a part
    // exceeds 2147483647.
    bool Parse(std::u16string_view text, std::int32_t fill);

    // A "Minimum Version" or "Maximum Version" value: the exact word "any" is
    // no bound; otherwise parsed with fill 0 or 65535.
    static VersionNumber ParseBound(std::u16string_view text, Bound bound);

    static int Compare(const VersionNumber& a, const VersionNumber& b);

    // True when candidate equals pattern in the parts before the pattern's
    // trailing zero parts (1.8 matches 1.8.0.151; 0.0.0.0 matches all).
    static bool MatchesPrefix(const VersionNumber& candidate, const VersionNumber& pattern);

    // All four parts 0 (no lower bound) or all 65535 (no upper bound).
    bool IsUnbounded() const;

    // Dotted text of the parts up to the last one that is neither 0 nor
    // 65535, at least two parts: 1.8.0.0 gives 1.8, 9.0.0.0 gives 9.0.
    std::u16string ToDisplayString() const;

    friend bool operator==(const VersionNumber& a, const VersionNumber& b)
    {
        return Compare(a, b) == 0;
    }
    friend bool operator<(const VersionNumber& a, const VersionNumber& b)
    {
        return Compare(a, b) < 0;
    }
    friend bool operator>(const VersionNumber& a, const VersionNumber& b)
    {
        return Compare(a, b) > 0;
    }

    std::array<std::int32_t, 4> parts{};
    std::int32_t partCount = 0; // never compared
};

} // namespace tala
