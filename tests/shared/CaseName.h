// Test names for table-driven tests, made from each case's own name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tala::test {

// "1.8 and 1.8" -> "1_8_and_1_8": letters and digits kept, every run of
// anything else one underscore (gtest allows no other characters).
inline std::string TestNameOf(std::string_view text)
{
    std::string name;
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            name += c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    return name;
}

// For INSTANTIATE_TEST_SUITE_P, on cases with a member "name".
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& tested)
{
    return TestNameOf(tested.param.name);
}

} // namespace tala::test
