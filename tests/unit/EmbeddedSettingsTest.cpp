// The settings text an executable carries: its line rules and exact lookups,
// and the enciphered form it is carried in.
#include "settings/EmbeddedSettings.h"
#include "settings/SettingsCipher.h"

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

// A launcher reads what another build of tala-pack wrote: the carried form
// stays the same byte for byte, and opens with its own code only.
TEST(CarriedSettings, KeepTheirFormAndOpenWithTheirCodeOnly)
{
    const std::string carried = EncipherSettings(u"[A]\r\nk=v\r\n", u"code-1");
    const unsigned char form[] = {
        'T', 'S', 'E', 'T', 1, 0, 0, 0, 10, 0, 0, 0, // mark, version, length in units
        0xA3, 0x84, 0xB6, 0xD3, 0xD2, 0x47, 0x0B, 0xEB, // check
        0x21, 0xE8, 0x74, 0x4B, 0xC3, 0xEB, 0x19, 0x4C, 0xE6, 0xA0, // the ten code units
        0xF4, 0x0A, 0x03, 0x06, 0xF4, 0x6E, 0xA0, 0x61, 0x52, 0x97};
    EXPECT_EQ(carried, std::string(std::begin(form), std::end(form)));

    std::string flipped = carried;
    flipped.back() ^= 1;
    const struct {
        const char* rule;
        std::string bytes;
        std::u16string code;
        bool opens;
    } cases[] = {
        {"its own code", carried, u"code-1", true},
        {"another code", carried, u"code-2", false},
        {"no code", carried, u"", false},
        {"a changed byte", flipped, u"code-1", false},
        {"cut short", carried.substr(0, carried.size() - 2), u"code-1", false},
    };
    for (const auto& c : cases) {
        std::u16string text = u"<none>";
        EXPECT_EQ(DecipherSettings(c.bytes, c.code, text), c.opens) << c.rule;
        EXPECT_EQ(text, c.opens ? u"[A]\r\nk=v\r\n" : u"<none>") << c.rule;
    }
}

} // namespace
} // namespace tala
