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

TEST(EmbeddedSettings, LineRulesAndExactLookups)
{
    EmbeddedSettings store;
    store.Parse(u"before=ignored\r\n"
                u" \t[ S ]\t \r\n"
                u"k = v \r\n"
                u";note=kept\r\n"
                u"no equals sign\r\n"
                u"\r\n"
                u"x=a=b\r\n"
                u"lone\nfeed=1\r\n"
                u"[T]x\r\n"
                u"y=2\r\n"
                u"[ S ]\r\n"
                u"k=w");
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u" S ", u"k", u"v"},             // trimmed; the repeated header's entry is never found
        {u" s ", u"k", u"<absent>"},      // section names are case-sensitive
        {u" S ", u"K", u"<absent>"},      // so are keys
        {u" S ", u"x", u"a=b"},           // the name keeps its inner blanks
        {u" S ", u";note", u"kept"},      // ";" is not a comment
        {u" S ", u"lone\nfeed", u"1"},    // only "\r\n" ends a line
        {u" S ", u"before", u"<absent>"}, // lines before the first header are ignored
        {u" S ", u"y", u"2"},             // "[T]x" is no header
        {u"T", u"y", u"<absent>"},
    };
    for (const auto& [section, key, expected] : cases) {
        EXPECT_EQ(Lookup(store, section, key), expected) << testing::PrintToString(key);
    }
    StringList names;
    store.GetSectionNames(names);
    EXPECT_EQ(names, (StringList{u" S ", u" S "}));
}

TEST(EmbeddedSettings, SetStringAppendsSoTheOlderEntryWinsAndParseReplacesAll)
{
    EmbeddedSettings store;
    store.Parse(u"[A]\r\nk=old\r\n");
    store.SetString(u"A", u"k", u"new");
    store.SetString(u"B", u"k", u"b");
    EXPECT_EQ(Lookup(store, u"A", u"k"), u"old");
    EXPECT_EQ(Lookup(store, u"B", u"k"), u"b");
    store.Parse(u"\uFEFF[A]\r\nk=v"); // a byte-order mark is no part of the first line
    EXPECT_EQ(Lookup(store, u"B", u"k"), u"<absent>");
    EXPECT_EQ(Lookup(store, u"A", u"k"), u"v");
}

} // namespace
} // namespace tala
