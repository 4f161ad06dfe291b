// The string rules every settings reader shares.
#include "settings/StringRules.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

TEST(SplitString, KeepsEmptyElementsButNoTrailingOne)
{
    const std::tuple<std::u16string, std::u16string, StringList> cases[] = {
        {u"1.8;;11", u";", {u"1.8", u"", u"11"}},
        {u"1.8;", u";", {u"1.8"}},
        {u";1.8", u";", {u"", u"1.8"}},
        {u"11", u";", {u"11"}},
        {u"", u";", {}},
        {u";", u";", {u""}},
        {u"a\r\nb\nc\r\n", u"\r\n", {u"a", u"b\nc"}},
    };
    for (const auto& [text, separator, expected] : cases) {
        StringList list{u"stale"};
        SplitString(text, separator, list);
        EXPECT_EQ(list, expected);
    }
}

TEST(TrimWhiteSpace, RemovesUnicodeSpacesAtBothEnds)
{
    EXPECT_EQ(TrimWhiteSpace(u"\t"), u"");
    EXPECT_EQ(TrimWhiteSpace(u" \u3000a b\u00a0\r\n"), u"a b");
    EXPECT_EQ(TrimWhiteSpace(u"x"), u"x");
}

TEST(Switches, ExactAndCaselessTests)
{
    EXPECT_TRUE(IsExactly(u"yes", u"yes"));
    EXPECT_FALSE(IsExactly(u"Yes", u"yes"));
    EXPECT_FALSE(IsExactly(u"yes ", u"yes"));
    EXPECT_TRUE(IsCaseless(u"YES", u"Yes"));
    EXPECT_TRUE(IsCaseless(u"yEs", u"Yes"));
    EXPECT_FALSE(IsCaseless(u"Ye", u"Yes"));
    // Only ASCII letters fold: other characters must match exactly.
    EXPECT_FALSE(IsCaseless(u"\u00c4", u"\u00e4"));
}

} // namespace
} // namespace tala
