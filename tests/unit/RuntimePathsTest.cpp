// The runtime's folders cut from its VM library path, the library path and
// Path composed for both conventions, and the environment they end up in.
#include "launcher/Launcher.h"
#include "os/Environment.h"
#include "os/Module.h"
#include "os/Utf8.h"
#include "tests/shared/TestFiles.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

using os::PathStyle;

TEST(RuntimePaths, FoldersCutFromTheVmLibraryPath)
{
    const std::u16string windows = u"C:\\jre\\bin\\server\\jvm.dll";
    EXPECT_EQ(StripPathComponents(windows, 2, PathStyle::Windows), u"C:\\jre\\bin");
    EXPECT_EQ(StripPathComponents(windows, 2, PathStyle::Posix), windows); // no "/" in it
    EXPECT_EQ(StripPathComponents(u"a\\b", 5, PathStyle::Windows), u"a");
    EXPECT_EQ(StripPathComponents(u"/jdk/lib/server/libjvm.so", 2, PathStyle::Posix), u"/jdk/lib");

    // The home is cut at the layout the library lies in; a home named lib keeps its name.
    const std::tuple<std::u16string, PathStyle, std::u16string> homes[] = {
        {windows, PathStyle::Windows, u"C:\\jre"},
        {u"jvm.dll", PathStyle::Windows, u"jvm.dll"},
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
