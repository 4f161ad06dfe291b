// The POSIX build's INI reader and writer: the Windows reading rules, and
// writes that keep every other line of a user's file.
#include "os/posix/IniText.h"

#include <gtest/gtest.h>

namespace tala::os::ini {
namespace {

TEST(IniText, DecodesTheEncodingsUsersSave)
{
    const std::tuple<std::string, std::u16string, Encoding> cases[] = {
        {"[S]\nK=Gr\xC3\xBC\xC3\x9F" "e", u"[S]\nK=Gr\u00fc\u00dfe", Encoding::Utf8},
        {"\xEF\xBB\xBFK=v", u"K=v", Encoding::Utf8WithBom},
        {std::string("\xFF\xFEK\0=\0\xE5\x65", 8), u"K=\u65e5", Encoding::Utf16Le},
        {std::string("\xFE\xFF\0K\0=\0v", 8), u"K=v", Encoding::Utf16Be},
        {std::string("\xFF\xFEK\0=", 5), u"K", Encoding::Utf16Le}, // odd byte dropped
    };
    for (const auto& [bytes, text, encoding] : cases) {
        const DecodedText decoded = Decode(bytes);
        EXPECT_EQ(decoded.text, text);
        EXPECT_EQ(decoded.encoding, encoding);
    }
}

TEST(IniText, LinesAsTheProfileFunctionsReadThem)
{
    const std::u16string text = u"K=before any section\r\n"
                                u"[ Spaced ]\r\n"
                                u"[broken header\r\n"
                                u"\t key \t= \t v \t\x1A\r\n"
                                u"[Two]\r\nA=1\r\n[two]\r\nA=2\r\nB=3\r\n";
    const std::tuple<std::u16string, std::u16string, std::optional<std::u16string>> cases[] = {
        {u" spaced ", u"KEY", u"v"},
        {u" Spaced ", u"[broken header", u""},
        {u"Spaced", u"key", std::nullopt},
        {u"two", u"a", u"1"},
        {u"Two", u"B", std::nullopt}, // only the first section of a name is searched
    };
    for (const auto& [section, key, value] : cases) EXPECT_EQ(FindValue(text, section, key), value);
    EXPECT_EQ(SectionNames(text), (std::vector<std::u16string>{u" Spaced ", u"Two", u"two"}));
}

TEST(IniText, WritesChangeOnlyTheirLine)
{
    struct Case {
        std::u16string before, section, key, value, after;
    };
    const Case cases[] = {
        {u"", u"S", u"K", u"v", u"[S]\nK=v\n"},
        {u"; mine\r\n[S]\r\nk = old \r\nX=1\r\n", u"s", u"K", u"new",
         u"; mine\r\n[S]\r\nK=new\r\nX=1\r\n"},
        {u"[S]\nA=1\n\n[T]\nB=2", u"S", u"K", u"v", u"[S]\nA=1\nK=v\n\n[T]\nB=2"},
        {u"[T]\nB=2", u"S", u"K", u"v", u"[T]\nB=2\n[S]\nK=v\n"},
        {u"[S]\nA=1", u"S", u"K", u"v", u"[S]\nA=1\nK=v\n"},
    };
    for (const Case& c : cases) {
        const std::u16string after = WithValue(c.before, c.section, c.key, c.value);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(FindValue(after, c.section, c.key), c.value);
    }
}

} // namespace
} // namespace tala::os::ini
