// Where settings files lie, for Windows and POSIX paths alike.
#include "settings/SettingsPaths.h"
#include "settings/WorkingDirectory.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

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
    struct Case {
        std::u16string source, name, code, root;
        PathStyle style;
        std::u16string expected;
    };
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
        {u"C:\\Apps\\Tool.exe", PathStyle::Windows, u"C:\\Apps"},
        {u"C:\\Tool.exe", PathStyle::Windows, u"C:"},
        {u"Tool.exe", PathStyle::Windows, std::nullopt},
        {u"\\Tool.exe", PathStyle::Windows, std::nullopt},
        {u"/opt/shop/shop", PathStyle::Posix, u"/opt/shop"},
    };
    for (const auto& [executable, style, folder] : cases) EXPECT_EQ(WorkingDirectoryFor(executable, style), folder);
}

} // namespace
} // namespace tala
