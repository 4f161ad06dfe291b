// A fuzzer's bytes as UTF-16, two a unit, so any unit (lone surrogates, NUL) can occur.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tala::fuzz {

inline std::u16string AsUtf16(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    return text;
}

inline void Require(bool property)
{
    if (!property) __builtin_trap();
}

} // namespace tala::fuzz
