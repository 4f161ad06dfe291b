// %NAME% references expanded by the rules Windows applies, on a made-up environment.
#include "os/EnvironmentExpansion.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace tala {
namespace {

TEST(EnvironmentExpansion, ReferencesBetweenTwoPercentSigns)
{
    const std::map<std::u16string, std::u16string> environment{
        {u"A", u"x"}, {u"B", u"y"}, {u"EMPTY", u""}};
    const os::VariableLookup lookup = [&](const std::u16string& name) {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    };
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u""},          {u"plain", u"plain"}, {u"%A%\\%B%", u"x\\y"}, {u"%A%%B%", u"xy"},
        {u"a%EMPTY%b", u"ab"}, {u"%UNSET%", u"%UNSET%"},
        {u"%UNSET%A%", u"%UNSETx"}, // the closing "%" opens the next reference
        {u"%%", u"%%"},      {u"%%A%", u"%x"},     {u"50%", u"50%"},       {u"%A%%", u"x%"},
        {u"%a%", u"%a%"},    // names are looked up as written
    };
    for (const auto& [text, expanded] : cases) {
        EXPECT_EQ(os::ExpandPercentReferences(text, lookup), expanded);
    }
}

// Settings written for Windows name variables in any letter case.
#ifndef _WIN32 // Windows holds one variable per name, whatever its case.
TEST(EnvironmentExpansion, ANameMatchesIgnoringCaseUnlessOneMatchesExactly)
{
    const test::ScopedEnvironmentVariable home{u"TALA_TEST_HOME", u"/home/u"};
    const test::ScopedEnvironmentVariable upper{u"TALA_TEST_BOTH", u"upper"};
    const test::ScopedEnvironmentVariable lower{u"tala_test_both", u"lower"};
    const test::ScopedEnvironmentVariable unset{u"TALA_TEST_UNSET", std::nullopt};
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"%Tala_Test_Home%/x", u"/home/u/x"}, {u"%tala_test_home%", u"/home/u"},
        {u"%TALA_TEST_BOTH%", u"upper"},        {u"%tala_test_both%", u"lower"},
        {u"%Tala_Test_Unset%", u"%Tala_Test_Unset%"},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(os::ExpandEnvironmentReferences(text), expanded);
}
#endif

} // namespace
} // namespace tala
