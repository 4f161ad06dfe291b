#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tala::test {

// Test names from each case's member "name": "1.8 and 1.8" becomes "1_8_and_1_8".
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& tested)
{
    std::string name = tested.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

} // namespace tala::test
