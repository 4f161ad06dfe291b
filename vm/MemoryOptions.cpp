#include "vm/MemoryOptions.h"

#include "os/DecimalText.h"
#include "os/Memory.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tala {
namespace {

constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();

// Sizes nobody can mean stay at the largest value instead of wrapping round
// to a small one.
std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > kLargest / a) return kLargest;
    return a * b;
}

std::uint64_t SaturatingDecimalStep(std::uint64_t number, char16_t digit)
{
    const std::uint64_t shifted = SaturatingMultiply(number, 10);
    const auto value = static_cast<std::uint64_t>(digit - u'0');
    return shifted > kLargest - value ? kLargest : shifted + value;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// ParseSizeList over text[0, end).
SizeList ReadSizeList(std::u16string_view text, std::size_t end)
{
    SizeList list;
    std::size_t position = 0;
    while (position < text.size() && !IsDigit(text[position]) && text[position] != u':') ++position;
    list.prefixLength = position;
    if (position == text.size()) return list;
    list.numbers.push_back(0);
    for (; position < end; ++position) {
        const char16_t c = text[position];
        if (IsDigit(c)) {
            list.numbers.back() = SaturatingDecimalStep(list.numbers.back(), c);
        } else if (c == u':') {
            list.numbers.push_back(0);
        }
    }
    return list;
}

std::uint64_t UnitOf(char16_t letter)
{
    switch (letter) {
    case u'G':
    case u'g':
        return 1073741824;
    case u'M':
    case u'm':
        return 1048576;
    case u'K':
    case u'k':
        return 1024;
    default:
        return 0;
    }
}

// The kilobytes that percent of base bytes make: whole kilobytes of the base
// times the percentage over 100 in double precision, truncated; a product
// beyond 64 bits is capped.
std::uint64_t PercentOf(std::uint64_t base, std::uint64_t percent)
{
    const double share = static_cast<double>(percent) / 100.0;
    const double kilobytes = static_cast<double>(base >> 10) * share;
    constexpr double kBeyond = 18446744073709551616.0; // 2^64
    if (!(kilobytes < kBeyond)) return kLargest;
    return static_cast<std::uint64_t>(kilobytes);
}

} // namespace

MemoryBase SystemMemoryBase()
{
    const os::MemoryStatus status = os::ReadMemoryStatus();
    return MemoryBase{status.totalPhysical, status.availableVirtual};
}

bool IsPercentMemoryOption(std::u16string_view parameter)
{
    if (parameter.size() < 5) return false;
    const std::u16string_view name = parameter.substr(0, 4);
    if (name != u"-Xms" && name != u"-Xmx" && name != u"-Xss") return false;
    const char16_t base = parameter.back();
    return base == u'P' || base == u'p' || base == u'T' || base == u't';
}

SizeList ParseSizeList(std::u16string_view text)
{
    return ReadSizeList(text, text.empty() ? 0 : text.size() - 1);
}

void RewriteMemoryOption(std::u16string& parameter, const MemoryBase& base)
{
    if (!IsPercentMemoryOption(parameter)) return;
    const SizeList list = ParseSizeList(parameter);
    std::array<std::uint64_t, 3> given{}; // percentage, minimum MB, maximum MB
    std::copy_n(list.numbers.begin(), std::min(list.numbers.size(), given.size()), given.begin());
    const auto [percent, minimum, maximum] = given;

    const bool physical = parameter.back() == u'P' || parameter.back() == u'p';
    std::uint64_t kilobytes =
        PercentOf(physical ? base.totalPhysical : base.availableVirtual, percent);
    if (maximum != 0) kilobytes = std::min(kilobytes, SaturatingMultiply(maximum, 1024));
    // The minimum comes last, so it wins over a smaller maximum.
    kilobytes = std::max(kilobytes, SaturatingMultiply(minimum, 1024));

    // The full unsigned value, even from 2^31 KB (2 TiB) on, where a signed
    // 32-bit field would turn negative: the VM reads sizes as 64-bit numbers
    // and so gets what the user asked for, or refuses it by name.
    parameter = parameter.substr(0, list.prefixLength) + os::DecimalText(kilobytes) + u"K";
}

std::uint64_t ReadStackSize(std::u16string_view size)
{
    if (size.empty()) return 0;
    const std::uint64_t unit = UnitOf(size.back());
    // Without a unit letter, the last character is a digit of the byte count.
    const SizeList list = unit != 0 ? ParseSizeList(size) : ReadSizeList(size, size.size());
    if (list.prefixLength != 0 || list.numbers.size() != 1) return 0;
    return SaturatingMultiply(list.numbers.front(), unit != 0 ? unit : 1);
}

} // namespace tala
