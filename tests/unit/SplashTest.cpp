// The splash rules that need no screen: the command-line switch, and where
// the runtime's splash library lies.
#include "os/Utf8.h"
#include "splash/Splash.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

TEST(SplashSwitch, OnlyTheExactWholeWordsSuppressTheSplash)
{
    const std::pair<StringList, bool> cases[] = {
        {{}, true}, {{u"-nosplash"}, false}, {{u"/nosplash"}, false}, {{u"open", u"/nosplash", u"x"}, false},
        {{u"-NoSplash"}, true}, {{u"/NOSPLASH"}, true}, {{u"--nosplash"}, true}, {{u"-nosplash "}, true},
        {{u"nosplash"}, true}, {{u"-nosplash=1"}, true},
    };
    for (const auto& [arguments, wanted] : cases) {
        EXPECT_EQ(SplashWanted(arguments), wanted) << testing::PrintToString(arguments);
    }
}

TEST(NativeSplashLibraryPath, IsTheVmLibraryPathLessTwoComponentsAndTheLibraryName)
{
    constexpr auto kWindows = os::PathStyle::Windows;
    constexpr auto kPosix = os::PathStyle::Posix;
    const std::tuple<std::u16string, os::PathStyle, std::u16string> cases[] = {
        {u"C:\\Program Files\\jre\\bin\\server\\jvm.dll", kWindows, u"C:\\Program Files\\jre\\bin\\splashscreen.dll"},
        {u"\\\\server\\share\\jre\\bin\\client\\jvm.dll", kWindows, u"\\\\server\\share\\jre\\bin\\splashscreen.dll"},
        // Forward slashes do not cut on Windows, but one at the end is kept as the separator.
        {u"C:\\jre/bin/\\server\\jvm.dll", kWindows, u"C:\\jre/bin/splashscreen.dll"},
        {u"C:\\jvm.dll", kWindows, u"C:\\splashscreen.dll"}, {u"", kWindows, u""},
        {u"/usr/lib/jvm/jdk/lib/server/libjvm.so", kPosix, u"/usr/lib/jvm/jdk/lib/libsplashscreen.so"},
        {u"/opt/jre/lib/amd64/server/libjvm.so", kPosix, u"/opt/jre/lib/amd64/libsplashscreen.so"},
        {u"/lib/server/libjvm.so", kPosix, u"/lib/libsplashscreen.so"},
        {u"", kPosix, u""},
    };
    for (const auto& [vmLibrary, style, splashLibrary] : cases) {
        EXPECT_EQ(NativeSplashLibraryPath(vmLibrary, style), splashLibrary) << os::ToUtf8(vmLibrary);
    }
}

} // namespace
} // namespace tala
