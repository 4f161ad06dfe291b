// Conversions at the POSIX boundary and for text read back from Java.
#include "os/Utf8.h"

#include <gtest/gtest.h>

namespace tala::os {
namespace {

TEST(Utf8, RoundTripsEveryPlane)
{
    const std::u16string text = u"Gr\u00fc\u00dfe \u65e5\u672c \U0001F600";
    EXPECT_EQ(ToUtf8(text), "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Utf8, DamagedInputBecomesReplacementCharacters)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\x80", u"\uFFFD"},             // a continuation byte leads nothing
        {"\xE6\x97", u"\uFFFD"},           // cut sequence
        {"\xC1\xBF", u"\uFFFD"},           // overlong
        {"\xC0\x80", std::u16string(1, u'\0')}, // Java's NUL
        {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"}, // Java's surrogate pair
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(FromUtf8(bytes), expected);
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

} // namespace
} // namespace tala::os
