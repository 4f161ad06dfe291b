// Numbers written as decimal digits, the one way the launcher writes them:
// in messages, heap sizes, version numbers, date pictures and file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tala::os {

// At least minimumDigits digits, zeros in front.
std::u16string DecimalText(std::uint64_t value, std::size_t minimumDigits = 1);

// With "-" in front of a negative value.
std::u16string SignedDecimalText(std::int64_t value);

} // namespace tala::os
