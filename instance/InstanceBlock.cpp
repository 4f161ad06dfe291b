#include "instance/InstanceBlock.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tala {
namespace {

constexpr std::size_t kArgumentUnits = kArgumentBlockSize / 2;

} // namespace

std::u16string InstanceNameFor(std::u16string_view executablePath, os::PathStyle style)
{
    return ReplaceAll(std::u16string(executablePath), os::PathSeparator(style), u'_');
}

std::uint32_t ReadBlockNumber(InstanceBlock block, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | std::to_integer<std::uint32_t>(block[offset + i]);
    return value;
}

void WriteBlockNumber(InstanceBlock block, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<std::byte>(value >> (8 * i) & 0xFF);
}

bool WriteArgumentBlock(const StringList& arguments, ArgumentBlock block)
{
    // Counted in units, and stopped as soon as it is too much, so no sum of
    // lengths can wrap round.
    std::size_t units = 1; // the final zero
    for (const std::u16string& argument : arguments) {
        if (argument.size() >= kArgumentUnits) return false;
        units += argument.size() + 1;
        if (units > kArgumentUnits) return false;
    }
    std::array<std::byte, kArgumentBlockSize> bytes{};
    std::size_t at = 0;
    for (const std::u16string& argument : arguments) {
        for (const char16_t unit : argument) {
            bytes[at++] = static_cast<std::byte>(unit & 0xFF);
            bytes[at++] = static_cast<std::byte>(unit >> 8);
        }
        at += 2; // its terminator, zero already
    }
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return true;
}

StringList ReadArgumentBlock(ArgumentBlock block)
{
    // A copy first: the other process may go on writing into the block.
    std::array<std::byte, kArgumentBlockSize> bytes;
    std::copy(block.begin(), block.end(), bytes.begin());
    const auto unitAt = [&bytes](std::size_t index) {
        return static_cast<char16_t>(std::to_integer<unsigned>(bytes[2 * index]) |
                                     std::to_integer<unsigned>(bytes[2 * index + 1]) << 8);
    };

    StringList arguments;
    std::u16string current;
    for (std::size_t i = 0; i < kArgumentUnits; ++i) {
        const char16_t unit = unitAt(i);
        if (unit != 0) {
            current += unit;
            continue;
        }
        arguments.push_back(std::move(current));
        current.clear();
        if (i + 1 == kArgumentUnits || unitAt(i + 1) == 0) return arguments;
    }
    arguments.push_back(std::move(current));
    return arguments;
}

} // namespace tala
