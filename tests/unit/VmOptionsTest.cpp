// The VM options, class path, library path and Path, for both path conventions.
#include "launcher/Launcher.h"
#include "os/Environment.h"
#include "os/Module.h"
#include "os/Utf8.h"
#include "tests/shared/TestFiles.h"
#include "vm/JavaCommand.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <gtest/gtest.h>

#include <map>

namespace tala {
namespace {

using os::PathStyle;

TEST(VmParameters, SplitAtSpacesOutsideQuotedRuns)
{
    const std::pair<std::u16string, StringList> cases[] = {
        {u"", {}}, {u"   ", {}},
        {u"  -Xmx512m   -Dp=\"a b\"  ", {u"-Xmx512m", u"-Dp=\"a b\""}},
        {u"-Da -Da", {u"-Da", u"-Da"}},
        {u"-Dq=\"abc def", {u"-Dq=\"abc", u"def"}},     // a quote without partner protects nothing
        {u"\"a\"\"b c\" d", {u"\"a\"\"b", u"c\"", u"d"}}, // a doubled closing quote ends the run
        {u"a\tb", {u"a\tb"}},
    };
    for (const auto& [text, tokens] : cases) EXPECT_EQ(SplitVmParameters(text), tokens);
}

TEST(VmParameters, QuotedRunsLoseTheirQuotes)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"-Dname=\"a b\"", u"-Dname=a b"}, {u"\"C:\\My Files\\x\"", u"C:\\My Files\\x"},
        {u"\"a\"\"b\"", u"a\"b\""}, // the last quote has no partner
        {u"-Dq=\"abc", u"-Dq=\"abc"}, {u"x\"\"\"\"y", u"x\"\"y"},
        {u"\"a\"\"\"b\"", u"a\"b"}, // the search goes on right behind the inner part
        {u"\"\"", u""},
    };
    for (const auto& [token, expected] : cases) {
        std::u16string parameter = token;
        RemoveQuotes(parameter);
        EXPECT_EQ(parameter, expected);
    }
}

// A made-up disk: what a directory search finds for each pattern, in its order.
ClassPathRules RulesOn(std::u16string modulePath, PathStyle style,
                       std::map<std::u16string, std::vector<std::u16string>> found)
{
    ClassPathRules rules;
    rules.modulePath = std::move(modulePath);
    rules.style = style;
    rules.search = [found = std::move(found)](const std::u16string& pattern) {
        const auto entry = found.find(pattern);
        return entry == found.end() ? std::vector<std::u16string>() : entry->second;
    };
    return rules;
}

TEST(ClassPath, EntriesResolvedBySearchOrTakenAsWritten)
{
    test::ScopedEnvironmentVariable data(u"TALA_TEST_DATA", u"D:\\data");
    const ClassPathRules windows = RulesOn(u"C:\\App\\Shop.exe", PathStyle::Windows,
                                           {{u"C:\\App\\lib\\*.jar", {u"b.jar", u"a.jar"}},
                                            {u"C:\\App", {u"App"}},
                                            {u"C:\\Applib.jar", {u"Applib.jar"}},
                                            {u"C:\\x\\*.jar", {u"y.jar"}}});
    const ClassPathRules posix = RulesOn(u"/opt/shop/shop", PathStyle::Posix,
                                         {{u"/opt/shop/lib/*.jar", {u"a.jar", u"."}},
                                          {u"/opt/shop", {u"shop"}},
                                          {u"/x/*.jar", {u"y.jar"}}});
    struct Case { const ClassPathRules& rules; std::u16string value; bool embeddedJar; std::u16string expected; };
    const Case cases[] = {
        {windows, u"\\lib\\*.jar", false, u"C:\\App\\lib\\b.jar;C:\\App\\lib\\a.jar;"},
        {windows, u"C:\\x\\missing.jar;\\missing.jar", false, u"C:\\x\\missing.jar;"},
        {windows, u"\\\\server\\share\\app.jar", false, u"\\\\server\\share\\app.jar;"},
        {windows, u"%TALA_TEST_DATA%\\x.jar", false, u"D:\\data\\x.jar;"},
        {windows, u";;", false, u"C:\\App;C:\\App;"},
        {windows, u"lib.jar", false, u"C:\\Applib.jar;"},           // no separator added
        {windows, u"C:\\x\\*.jar;C:\\x\\?.jar", false, u"C:\\x\\y.jar;C:\\x\\?.jar;"},
        {windows, u"", true, u"C:\\App\\Shop.exe;"},
        {posix, u"lib/*.jar;/abs/x.jar", false, u"/opt/shop/lib/a.jar:/opt/shop/lib/.:/abs/x.jar:"},
        {posix, u";/x/*.jar", true, u"/opt/shop/shop:/opt/shop:/x/y.jar:"},
        {posix, u"C:\\x.jar", false, u""}, // relative on POSIX, and not beside the executable
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildClassPath(c.rules, c.value, c.embeddedJar), c.expected);
    }
}

class BuildVmOptionsTest : public testing::Test {
protected:
    bool Build(const std::string& classPath, const std::string& parameters, const std::string& application)
    {
        test::WriteBytes(folder.Path() / "shop.ini",
                         "[Class Path]\nClass Path=" + classPath +
                             "\n[Java Runtime Environment]\nVirtual Machine Parameters=" +
                             parameters + "\n[Application]\n" + application + "\n");
        testing::internal::CaptureStderr();
        const bool ok = BuildVmOptionsFor(launcher, folder.Child("shop"));
        shown = testing::internal::GetCapturedStderr();
        return ok;
    }

    test::TempFolder folder;
    test::ScopedEnvironmentVariable home{u"TALA_TEST_HOME", u"/h"};
    test::ScopedEnvironmentVariable option{u"TALA_TEST_OPTION", u"-Xmx50P"};
    Launcher launcher;
    std::string shown;
};

TEST_F(BuildVmOptionsTest, ClassPathThenParametersInTheirOrder)
{
    std::filesystem::create_directory(folder.Path() / "lib");
    test::WriteBytes(folder.Path() / "lib" / "app.jar", "");
    launcher.programArguments = {u"arg"};
    ASSERT_TRUE(Build("lib/*.jar;/abs/%TALA_TEST_HOME%.jar",
                      "  -Xmx512m   -Dp=\"a b\"  -Xss512k -Xmx1:1:1P -Xss0:1:1T -Dp=\"a b\" "
                      "%TALA_TEST_OPTION%",
                      "Output File=%TALA_TEST_HOME%/out.txt\nOutput Append=yes\n"
                      "Error File=err.txt\nError Append=Yes\n"
                      "Cmd=one  two \"%TALA_TEST_HOME%\" -nosplash"));
    const std::vector<std::string> expected{
        "-Djava.class.path=" + folder.Path().string() + "/lib/app.jar:/abs//h.jar:",
        "-Xmx512m", "-Dp=a b", "-Xss512k", "-Xmx1024K", "-Xss1024K", "-Dp=a b",
        "-Xmx50P"}; // a percentage behind a variable is not rewritten
    EXPECT_EQ(launcher.vmOptions.Options(), expected);
    EXPECT_EQ(launcher.javaThreadStackSize, 1048576u); // the last -Xss counts
    EXPECT_EQ(launcher.settings.outputFile, u"/h/out.txt");
    EXPECT_TRUE(launcher.settings.outputAppend);
    EXPECT_EQ(launcher.settings.errorFile, u"err.txt");
    EXPECT_FALSE(launcher.settings.errorAppend); // only the exact "yes"
    EXPECT_EQ(launcher.programArguments, (StringList{u"arg", u"one", u"two", u"/h", u"-nosplash"}));
    EXPECT_EQ(shown, "");
}

TEST_F(BuildVmOptionsTest, EmptyClassPathStopsWithMessage209UnlessTheJarIsEmbedded)
{
    EXPECT_FALSE(Build("missing.jar;lib/*.jar", "-Xss1m", "Output File=out.txt\nCmd=one"));
    EXPECT_EQ(shown, "Java Class Path was not specified in INI file.\n");
    EXPECT_TRUE(launcher.vmOptions.Options().empty());
    EXPECT_EQ(launcher.javaThreadStackSize, 0u);
    EXPECT_EQ(launcher.settings.outputFile, u"");
    EXPECT_TRUE(launcher.programArguments.empty());

    ASSERT_TRUE(Build("", "", "Embedded Jar=YES")); // the executable alone is a class path
    EXPECT_EQ(launcher.vmOptions.Options(),
              std::vector<std::string>{"-Djava.class.path=" + folder.Path().string() + "/shop:"});
}

TEST(JavaCommand, NamesTheMainClassAndArgumentsUnlessTheOptionsDo)
{
    EXPECT_EQ(JavaCommandOption(u"com/shop/Main", {u"a", u"two words", u""}),
              u"-Dsun.java.command=com.shop.Main a two words ");
    const std::pair<const char*, bool> cases[] = {
        {"-Dsun.java.command=Shop", true}, {"-Dsun.java.command", true},
        {"-Dsun.java.commands=x", false},  {"-Dsun.java.comman=x", false},
    };
    for (const auto& [option, sets] : cases) EXPECT_EQ(SetsJavaCommand({"-Xmx1g", option}), sets) << option;
}

TEST(RuntimePaths, FoldersCutFromTheVmLibraryPath)
{
    const std::u16string windows = u"C:\\jre\\bin\\server\\jvm.dll";
    EXPECT_EQ(StripPathComponents(windows, 2, PathStyle::Windows), u"C:\\jre\\bin");
    EXPECT_EQ(StripPathComponents(windows, 2, PathStyle::Posix), windows); // no "/" in it
    EXPECT_EQ(StripPathComponents(u"a\\b", 5, PathStyle::Windows), u"a");
    EXPECT_EQ(StripPathComponents(u"/jdk/lib/server/libjvm.so", 2, PathStyle::Posix), u"/jdk/lib");

    // The home is cut at the layout the library lies in; a home named lib keeps its name.
    const std::tuple<std::u16string, PathStyle, std::u16string> homes[] = {
        {windows, PathStyle::Windows, u"C:\\jre"}, {u"jvm.dll", PathStyle::Windows, u"jvm.dll"},
        {u"/jdk/lib/server/libjvm.so", PathStyle::Posix, u"/jdk"},
        {u"/j8/jre/lib/amd64/server/libjvm.so", PathStyle::Posix, u"/j8/jre"},
        {u"/opt/x/lib/lib/server/libjvm.so", PathStyle::Posix, u"/opt/x/lib"},
        {u"/opt/x/lib/lib/amd64/server/libjvm.so", PathStyle::Posix, u"/opt/x/lib"},
        {u"/opt/lib/amd64/lib/server/libjvm.so", PathStyle::Posix, u"/opt/lib/amd64"},
    };
    for (const auto& [library, style, home] : homes) {
        EXPECT_EQ(RuntimeHomeOf(library, style), home) << os::ToUtf8(library);
    }
}

TEST(RuntimePaths, LibraryPathAndPathComposedForEachConvention)
{
    EXPECT_EQ(ComposeLibraryPath(u"C:\\native", u"C:\\App\\", u"C:\\jre", PathStyle::Windows),
              u"C:\\native;C:\\App\\;.;%Path%;C:\\jre\\lib");
    EXPECT_EQ(ComposeLibraryPath(u"C:\\native;", u"C:\\App\\", u"C:\\jre", PathStyle::Windows),
              u"C:\\native;C:\\App\\;.;%Path%;C:\\jre\\lib");
    EXPECT_EQ(ComposeLibraryPath(u"/native;/more", u"/opt/app/", u"/jre", PathStyle::Posix),
              u"/native:/more:/opt/app/:.:%PATH%:/jre/lib");

    const std::tuple<std::u16string, PathStyle, std::u16string> paths[] = {
        {u"", PathStyle::Windows, u"%Path%;C:\\jre\\bin"},
        {u"C:\\tools", PathStyle::Windows, u"C:\\tools;%Path%;C:\\jre\\bin"},
        {u"C:\\tools;", PathStyle::Windows, u"C:\\tools;%Path%;C:\\jre\\bin"},
        {u"", PathStyle::Posix, u"%PATH%:C:\\jre\\bin"},
        {u"/tools;/more:", PathStyle::Posix, u"/tools:/more:%PATH%:C:\\jre\\bin"},
    };
    for (const auto& [systemPath, style, expected] : paths) {
        EXPECT_EQ(ComposeSystemPath(systemPath, u"C:\\jre\\bin", style), expected);
    }
}

TEST(ApplyRuntimePaths, VariablesFirstThenLibraryPathBeforeTheClassPath)
{
    const test::ScopedEnvironmentVariable jvmPath{u"TALA_JVM_PATH", std::nullopt};
    const test::ScopedEnvironmentVariable jvmHome{u"TALA_JVM_HOME", std::nullopt};
    const test::ScopedEnvironmentVariable path{u"PATH", u"/usr/bin"};
    Launcher launcher;
    launcher.vmLibraryPath = u"/jre/lib/server/libjvm.so";
    launcher.settings.libraryPath = u"%TALA_JVM_HOME%/native;%PATH%";
    launcher.settings.systemPath = u"/tools";
    ApplyRuntimePaths(launcher);
    EXPECT_EQ(os::ReadEnvironmentVariable(u"TALA_JVM_PATH"), u"/jre/lib/server/libjvm.so");
    EXPECT_EQ(os::ReadEnvironmentVariable(u"TALA_JVM_HOME"), u"/jre");
    EXPECT_EQ(os::ReadEnvironmentVariable(u"PATH"), u"/tools:/usr/bin:/jre/bin");

    std::u16string modulePath;
    ASSERT_TRUE(os::GetModulePath(modulePath));
    const std::u16string executableFolder = modulePath.substr(0, modulePath.rfind(u'/') + 1);
    test::TempFolder folder;
    test::WriteBytes(folder.Path() / "shop.ini", "[Class Path]\nClass Path=/a.jar\n");
    ASSERT_TRUE(BuildVmOptionsFor(launcher, folder.Child("shop")));
    const std::vector<std::string> expected{
        ToAnsi(u"-Djava.library.path=/jre/native:/usr/bin:" + executableFolder + u":.:/usr/bin:/jre/lib"),
        "-Djava.class.path=/a.jar:"};
    EXPECT_EQ(launcher.vmOptions.Options(), expected);

    os::WriteEnvironmentVariable(u"PATH", u"/usr/bin");
    Launcher withoutLibraryPath;
    withoutLibraryPath.vmLibraryPath = u"/jre/lib/server/libjvm.so";
    ApplyRuntimePaths(withoutLibraryPath);
    EXPECT_TRUE(withoutLibraryPath.vmOptions.Options().empty());
    EXPECT_EQ(os::ReadEnvironmentVariable(u"PATH"), u"/usr/bin:/jre/bin");
}

} // namespace
} // namespace tala
