// The settings text an executable carries, and where settings files and the working folder lie.
#include "settings/EmbeddedSettings.h"
#include "settings/SettingsCipher.h"
#include "settings/SettingsPaths.h"
#include "settings/WorkingDirectory.h"

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
    store.Parse(u"before=ignored\r\n \t[ S ]\t \r\nk = v \r\n;note=kept\r\nno equals sign\r\n\r\nx=a=b\r\n"
                u"lone\nfeed=1\r\n[T]x\r\ny=2\r\n[ S ]\r\nk=w");
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
    const struct { const char* rule; std::string bytes; std::u16string code; bool opens; } cases[] = {
        {"its own code", carried, u"code-1", true}, {"another code", carried, u"code-2", false},
        {"no code", carried, u"", false}, {"a changed byte", flipped, u"code-1", false},
        {"cut short", carried.substr(0, carried.size() - 2), u"code-1", false},
    };
    for (const auto& c : cases) {
        std::u16string text = u"<none>";
        EXPECT_EQ(DecipherSettings(c.bytes, c.code, text), c.opens) << c.rule;
        EXPECT_EQ(text, c.opens ? u"[A]\r\nk=v\r\n" : u"<none>") << c.rule;
    }
}

using os::PathStyle;

TEST(SettingsFilePath, NamedAfterTheExecutable)
{
    const std::tuple<std::u16string, PathStyle, std::optional<std::u16string>> cases[] = {
        {u"C:\\Apps\\Tool.exe", PathStyle::Windows, u"C:\\Apps\\Tool.ini"},
        {u"C:\\My.Apps\\Tool", PathStyle::Windows, u"C:\\My.ini"},
        {u"C:\\Apps\\Tool", PathStyle::Windows, std::nullopt},
        {u"C:\\Apps\\Tool.beta.exe", PathStyle::Windows, u"C:\\Apps\\Tool.beta.ini"},
        {u"/opt/shop/shop", PathStyle::Posix, u"/opt/shop/shop.ini"},
        {u"/opt/my.apps/shop", PathStyle::Posix, u"/opt/my.apps/shop.ini"},
        {u"/opt/shop/shop.bin", PathStyle::Posix, u"/opt/shop/shop.ini"},
    };
    for (const auto& [executable, style, settings] : cases) EXPECT_EQ(SettingsFilePathFor(executable, style), settings);
}

TEST(UserSettingsFilePath, ProductFoldersUnderTheRoot)
{
    struct Case { std::u16string source, name, code, root; PathStyle style; std::u16string expected; };
    const Case cases[] = {
        {u"C:\\Apps\\Tool.exe", u"My:App?", u"1234", u"C:\\Users\\u\\AppData\\Roaming",
         PathStyle::Windows, u"C:\\Users\\u\\AppData\\Roaming\\MyApp\\1234\\Tool.ini"},
        {u"C:\\Apps\\Tool", u"A", u"1", u"R", PathStyle::Windows, u"R\\A\\1\\Tool.ini"},
        {u"D:\\Other\\Tool.beta.exe", u"A", u"1", u"R", PathStyle::Windows, u"R\\A\\1\\Tool.beta.ini"},
        {u"C:\\Tool.exe", u"\\?\"|><:/*", u"", u"", PathStyle::Windows, u"\\\\\\Tool.ini"},
        {u"/opt/shop/shop", u"Shop/Pro", u"7", u"/home/u/.config", PathStyle::Posix,
         u"/home/u/.config/ShopPro/7/shop.ini"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserSettingsFilePathFor(c.source, c.name, c.code, c.root, c.style), c.expected);
    }
}

TEST(WorkingDirectory, TheExecutablesFolderWithoutItsSeparator)
{
    const std::tuple<std::u16string, PathStyle, std::optional<std::u16string>> cases[] = {
        {u"C:\\Apps\\Tool.exe", PathStyle::Windows, u"C:\\Apps"}, {u"C:\\Tool.exe", PathStyle::Windows, u"C:"},
        {u"Tool.exe", PathStyle::Windows, std::nullopt}, {u"\\Tool.exe", PathStyle::Windows, std::nullopt},
        {u"/opt/shop/shop", PathStyle::Posix, u"/opt/shop"},
    };
    for (const auto& [executable, style, folder] : cases) EXPECT_EQ(WorkingDirectoryFor(executable, style), folder);
}

} // namespace
} // namespace tala
