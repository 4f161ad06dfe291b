// The settings text an executable carries: its line rules and exact lookups.
#include "settings/EmbeddedSettings.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

std::u16string Lookup(EmbeddedSettings& store, std::u16string_view section, std::u16string_view key)
{
    std::u16string value = u"<absent>";
    store.GetString(section, key, value);
    return value;
}

TEST(EmbeddedSettings, ParsesSectionsAndEntries)
{
    EmbeddedSettings store;
    store.Parse(u"\uFEFF[A]\r\nk = v \r\n[A]\r\nk=w\r\n");
    struct Case {
        std::u16string section, key, expected;
    };
    const Case cases[] = {
        {u"A", u"k", u"v"},            // trimmed; the repeated header's entry is never found
        {u"a", u"k", u"<absent>"},     // section names are case-sensitive
        {u"A", u"K", u"<absent>"},     // so are keys
    };
    for (const Case& c : cases) EXPECT_EQ(Lookup(store, c.section, c.key), c.expected);
    StringList names;
    store.GetSectionNames(names);
    EXPECT_EQ(names, (StringList{u"A", u"A"}));
}

TEST(EmbeddedSettings, LineRules)
{
    EmbeddedSettings store;
    store.Parse(u"before=ignored\r\n"
                u" \t[ S ]\t \r\n"
                u";note=kept\r\n"
                u"no equals sign\r\n"
                u"\r\n"
                u"x=a=b\r\n"
                u"lone\nfeed=1\r\n"
                u"[T]x\r\n"
                u"y=2");
    struct Case {
        std::u16string section, key, expected;
    };
    const Case cases[] = {
        {u" S ", u"x", u"a=b"},               // the name keeps its inner blanks
        {u" S ", u";note", u"kept"},          // ";" is not a comment
        {u" S ", u"lone\nfeed", u"1"},        // only "\r\n" ends a line
        {u" S ", u"before", u"<absent>"},     // lines before the first header are ignored
        {u" S ", u"y", u"2"},                 // "[T]x" is no header
        {u"T", u"y", u"<absent>"},
    };
    for (const Case& c : cases) EXPECT_EQ(Lookup(store, c.section, c.key), c.expected);
}

TEST(EmbeddedSettings, SetStringAppendsSoTheOlderEntryWins)
{
    EmbeddedSettings store;
    store.Parse(u"[A]\r\nk=old\r\n");
    store.SetString(u"A", u"k", u"new");
    store.SetString(u"B", u"k", u"b");
    EXPECT_EQ(Lookup(store, u"A", u"k"), u"old");
    EXPECT_EQ(Lookup(store, u"B", u"k"), u"b");
}

TEST(EmbeddedSettings, ParseReplacesEverything)
{
    EmbeddedSettings store;
    store.Parse(u"[A]\r\nk=v\r\n");
    store.Parse(u"no header at all");
    EXPECT_EQ(Lookup(store, u"A", u"k"), u"<absent>");
}

} // namespace
} // namespace tala
