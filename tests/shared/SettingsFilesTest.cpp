// How settings reach the launcher through the platform's INI access, the
// layered store and the per-user copy. The same expectations hold on Windows
// (private-profile API, run under Wine) and on POSIX (the launcher's reader).
#include "settings/LayeredSettings.h"
#include "settings/ReadSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

using test::TempFolder;
using test::WriteBytes;

struct IniCase {
    const char* rule;
    std::string file;
    std::u16string section;
    std::u16string key;
    std::u16string expected;
};

TEST(SettingsFile, ReadsValuesAsThePlatformDoes)
{
    const std::string longValue(300, 'v');
    const std::string veryLongValue(5000, 'w');
    const IniCase cases[] = {
        {"names match without regard to case", "[Java Runtime Environment]\r\nMain Class=a.B\r\n",
         u"java runtime environment", u"MAIN CLASS", u"a.B"},
        {"double quotes are stripped", "[S]\r\nK=\"a b\"\r\n", u"S", u"K", u"a b"},
        {"single quotes are stripped", "[S]\r\nK='a'\r\n", u"S", u"K", u"a"},
        {"unmatched quote stays", "[S]\r\nK=\"a\r\n", u"S", u"K", u"\"a"},
        {"blanks around the = go", "[S]\r\n  K   =   v w   \r\n", u"S", u"K", u"v w"},
        {"the value starts after the first =", "[S]\r\nK=a=b\r\n", u"S", u"K", u"a=b"},
        {"a missing key is empty", "[S]\r\nK=v\r\n", u"S", u"Other", u""},
        {"a missing section is empty", "[S]\r\nK=v\r\n", u"T", u"K", u""},
        {"the first of two keys wins", "[S]\r\nK=1\r\nK=2\r\n", u"S", u"K", u"1"},
        {"a 300-character value comes whole", "[S]\r\nK=" + longValue + "\r\n", u"S", u"K",
         std::u16string(longValue.begin(), longValue.end())},
        {"a 5000-character value comes whole", "[S]\r\nK=" + veryLongValue + "\r\n", u"S", u"K",
         std::u16string(veryLongValue.begin(), veryLongValue.end())},
        {"UTF-16 with a byte-order mark", test::Utf16LeWithBom(u"[S]\r\nK=\u65e5\u672c\r\n"), u"S",
         u"K", u"\u65e5\u672c"},
    };
    for (const IniCase& c : cases) {
        TempFolder folder;
        WriteBytes(folder.Path() / "Shop.ini", c.file);
        SettingsFile file(folder.Child("Shop.ini"));
        EXPECT_EQ(file.Get(c.section, c.key), c.expected) << c.rule;
    }
}

TEST(SettingsFile, AMissingFileReadsEmptyAndWritesCreateIt)
{
    TempFolder folder;
    SettingsFile file(folder.Child("Shop.ini"));
    EXPECT_EQ(file.Get(u"S", u"K"), u"");
    StringList names;
    file.GetSectionNames(names);
    EXPECT_TRUE(names.empty());

    file.SetString(u"Java Runtime Environment", u"JRE Path", u"C:\\jre\\");
    file.SetString(u"Other", u"K", u"v");
    file.SetString(u"java runtime environment", u"jre path", u"D:\\jre\\");
    EXPECT_EQ(file.Get(u"Java Runtime Environment", u"JRE Path"), u"D:\\jre\\");
    EXPECT_EQ(file.Get(u"Other", u"K"), u"v");
    file.GetSectionNames(names);
    EXPECT_EQ(names, (StringList{u"Java Runtime Environment", u"Other"}));
}

struct LayeredCase {
    const char* rule;
    std::u16string embedded;
    std::optional<std::string> file;
    std::u16string expected;
};

TEST(LayeredSettings, FileOverridesAndPlusSectionExtends)
{
    const std::u16string embeddedA = u"[Application]\r\nCmd=a\r\n";
    const LayeredCase cases[] = {
        {"the embedded value stands alone", embeddedA, std::nullopt, u"a"},
        {"the + section extends after a space", embeddedA, "[Application+]\r\nCmd=b\r\n", u"a b"},
        {"a file value replaces, the + section is not read", embeddedA,
         "[Application]\r\nCmd=c\r\n[Application+]\r\nCmd=b\r\n", u"c"},
        {"an empty file value lets the + section extend", embeddedA,
         "[Application]\r\nCmd=\r\n[Application+]\r\nCmd=-x\r\n", u"a -x"},
        {"without an embedded value the space still leads", u"", "[Application+]\r\nCmd=b\r\n",
         u" b"},
        {"an extension that begins with a space gets none added", embeddedA,
         "[Application+]\r\nCmd=\" b\"\r\n", u"a b"},
        {"embedded names match exactly", u"[application]\r\nCmd=a\r\n", std::nullopt, u""},
    };
    for (const LayeredCase& c : cases) {
        TempFolder folder;
        if (c.file) WriteBytes(folder.Path() / "Shop.ini", *c.file);
        LayeredSettings layered(folder.Child("Shop.ini"), c.embedded);
        EXPECT_EQ(layered.Get(u"Application", u"Cmd"), c.expected) << c.rule;
    }
}

// An application folder with a settings file and a per-user settings root.
class PerUserSettings : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder.Path() / "app");
        std::filesystem::create_directories(folder.Path() / "user");
    }

    void WriteSettings(const std::string& applicationType)
    {
        WriteBytes(folder.Path() / "app" / "Shop.ini",
                   "[Product Information]\r\nProduct Name=My:App?\r\nProduct Code=1234\r\n"
                   "[Java Runtime Environment]\r\nMain Class=shop.Main\r\nJRE Path=C:\\jre\r\n"
                   "[Application]\r\nApplication Type=" + applicationType +
                       "\r\nPair Product=" + (folder.Path() / "Tool32.exe").string() + "\r\n");
    }

    std::filesystem::path UserFile(const std::string& baseName) const
    {
        return folder.Path() / "user" / "MyApp" / "1234" / baseName;
    }

    LauncherSettings Read()
    {
        LauncherSettings settings;
        EXPECT_TRUE(ReadSettingsFor(modulePath, settings));
        return settings;
    }

    TempFolder folder;
    std::u16string modulePath = folder.Child(std::filesystem::path("app") / "Shop.exe");
    test::ScopedEnvironmentVariable root{test::UserSettingsRootVariable(), folder.Child("user")};
};

TEST_F(PerUserSettings, JrePathComesFromTheUserCopyOnceItExists)
{
    struct Case {
        const char* rule;
        std::string applicationType;
        std::optional<std::string> userFile;
        std::u16string expected;
    };
    const Case cases[] = {
        {"no user copy: the settings file's value", "", std::nullopt, u"C:\\jre"},
        {"a user copy without the key empties it", "", "[Other]\r\nK=v\r\n", u""},
        {"a user copy with the key gives its value", "",
         "[Java Runtime Environment]\r\nJRE Path=D:\\picked\\\r\n", u"D:\\picked\\"},
        {"a service ignores the user copy", "service",
         "[Java Runtime Environment]\r\nJRE Path=D:\\picked\\\r\n", u"C:\\jre"},
    };
    for (const Case& c : cases) {
        WriteSettings(c.applicationType);
        std::filesystem::remove_all(folder.Path() / "user" / "MyApp");
        if (c.userFile) {
            std::filesystem::create_directories(UserFile("").parent_path());
            WriteBytes(UserFile("Shop.ini"), *c.userFile);
        }
        EXPECT_EQ(Read().jrePath, c.expected) << c.rule;
    }
}

TEST_F(PerUserSettings, WriteBackCreatesTheUserFoldersAndIsReadNextTime)
{
    WriteSettings("");
    const LauncherSettings settings = Read();
    ASSERT_FALSE(std::filesystem::exists(folder.Path() / "user" / "MyApp"));

    WriteBackJrePathFor(modulePath, settings, u"D:\\picked\\");

    EXPECT_EQ(SettingsFile(UserFile("Shop.ini").u16string()).Get(keys::kJavaRuntimeEnvironment, keys::kJrePath),
              u"D:\\picked\\");
    EXPECT_EQ(SettingsFile(UserFile("Tool32.ini").u16string()).Get(keys::kJavaRuntimeEnvironment, keys::kJrePath),
              u"D:\\picked\\");
    EXPECT_EQ(Read().jrePath, u"D:\\picked\\");
}

TEST_F(PerUserSettings, ServiceWriteBackGoesBesideTheExecutables)
{
    WriteSettings("service");
    const LauncherSettings settings = Read();

    WriteBackJrePathFor(modulePath, settings, u"D:\\picked\\");

    EXPECT_EQ(Read().jrePath, u"D:\\picked\\");
    EXPECT_EQ(SettingsFile(folder.Child("Tool32.ini")).Get(keys::kJavaRuntimeEnvironment, keys::kJrePath),
              u"D:\\picked\\");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "user" / "MyApp"));
}

} // namespace
} // namespace tala
