// Every key of the settings reader with its conversion and default.
#include "settings/ReadSettings.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

class ReadSettingsTest : public testing::Test {
protected:
    bool Read(const std::string& javaRuntime, const std::string& application = "")
    {
        test::WriteBytes(folder.Path() / "Shop.ini",
                         "[Java Runtime Environment]\n" + javaRuntime + "\n[Application]\n" + application + "\n");
        settings = LauncherSettings();
        testing::internal::CaptureStderr();
        const bool ok = ReadSettingsFor(folder.Child("Shop.exe"), settings);
        shown = testing::internal::GetCapturedStderr();
        return ok;
    }

    test::TempFolder folder;
    test::ScopedEnvironmentVariable root{u"XDG_CONFIG_HOME", folder.Child("user")};
    LauncherSettings settings;
    std::string shown;
};

TEST_F(ReadSettingsTest, JvmSourceRows)
{
    struct Case { std::string value; bool wantJdk, wantJre, acceptBothKinds; };
    const Case cases[] = {
        {"", true, true, true},
        {"favor_JDK", true, false, true},
        {"favor_JRE", false, true, true},
        {"only_JDK", true, false, false},
        {"only_JRE", false, true, false},
        {"FAVOR_JRE", false, false, false},
        {"jdk", false, false, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Read("Main Class=M\nJVM Source=" + c.value));
        EXPECT_EQ(settings.wantJdk, c.wantJdk) << c.value;
        EXPECT_EQ(settings.wantJre, c.wantJre) << c.value;
        EXPECT_EQ(settings.acceptBothKinds, c.acceptBothKinds) << c.value;
    }
}

TEST_F(ReadSettingsTest, VmProviderRows)
{
    using Flags = std::array<bool, 6>; // allow JRockit, Sun, IBM; favor JRockit, Sun, IBM
    const Flags defaults{false, true, false, false, true, false};
    const std::pair<std::string, Flags> cases[] = {
        {"", defaults},
        {"sun", defaults},
        {"unknown", defaults},
        {"jrockit", {true, false, false, true, false, false}},
        {"IBM", {false, false, true, false, false, true}},
        {"favor_sun", {true, true, true, false, true, false}},
        {"favor_jrockit", {true, true, true, true, false, false}},
        {"Favor_IBM", {true, true, true, false, false, true}},
        {"any", {true, true, true, false, false, false}},
    };
    for (const auto& [value, expected] : cases) {
        ASSERT_TRUE(Read("Main Class=M\nVM Provider=" + value));
        const Flags flags{settings.allowJRockit, settings.allowSun, settings.allowIbm,
                          settings.favorJRockit, settings.favorSun, settings.favorIbm};
        EXPECT_EQ(flags, expected) << value;
    }
}

TEST_F(ReadSettingsTest, TypesVersionsAndSwitches)
{
    ASSERT_TRUE(Read("Main Class=tools.viewer.Main\nJVM Type=favor_server\nMinimum Version=1.8\nMaximum Version=any\n"
                     "Preferred versions=11;;1.8\nSystem Path=C:\\tools\nLibrary Path=native\n",
                     "Application Type=Service\nFailure Check=yes\nOverride WorkingDir=YES\n"
                     "Pair Product=C:\\Tool32.exe\nPair Return Code=yes"));
    EXPECT_EQ(shown, "");
    EXPECT_EQ(settings.mainClass, u"tools/viewer/Main");
    EXPECT_EQ(settings.jvmType, JvmType::FavorServer);
    EXPECT_EQ(settings.minimumVersion, VersionNumber(1, 8, 0, 0));
    EXPECT_EQ(settings.maximumVersion, VersionNumber(65535, 65535, 65535, 65535));
    EXPECT_EQ(settings.preferredVersions, (StringList{u"11", u"", u"1.8"}));
    EXPECT_FALSE(settings.isService); // only the exact word "service"
    EXPECT_TRUE(settings.failureCheck);
    EXPECT_TRUE(settings.overrideWorkingDir);
    EXPECT_TRUE(settings.pairReturnCode);
    EXPECT_EQ(settings.systemPath, u"C:\\tools");
    EXPECT_EQ(settings.libraryPath, u"native");
    EXPECT_EQ(settings.pairProduct, u"C:\\Tool32.exe");

    ASSERT_TRUE(Read("Main Class=M\nJVM Type=Server\nMaximum Version=", "Application Type=service"));
    EXPECT_EQ(settings.jvmType, JvmType::NoPreference);
    EXPECT_EQ(settings.maximumVersion, VersionNumber(0, 0, 0, 0));
    EXPECT_TRUE(settings.isService);
    EXPECT_FALSE(settings.failureCheck);
}

TEST_F(ReadSettingsTest, ProductInformationComesFromTheFileOnly)
{
    test::WriteBytes(folder.Path() / "Shop.ini",
                     "[Product Information]\nProduct Name=Shop\nProduct Code=P1\nUpgrade Code=U1\n"
                     "[Product Information+]\nProduct Name=Extended\n"
                     "[Java Runtime Environment]\nMain Class=M\n");
    ASSERT_TRUE(ReadSettingsFor(folder.Child("Shop.exe"), settings));
    EXPECT_EQ(settings.productName, u"Shop");
    EXPECT_EQ(settings.productCode, u"P1");
    EXPECT_EQ(settings.upgradeCode, u"U1");
}

} // namespace
} // namespace tala
