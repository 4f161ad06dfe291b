// The runtime search on this machine: the runtimes installed under /usr/lib/jvm
// (Debian's OpenJDK 17, the build's own, among them) are found, ranked and
// chosen within the bounds; and a 32-bit VM library hands the start over to
// the pair product.
#include "runtime/FindRuntime.h"
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/Probe.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

TEST(InstalledRuntimes, AreFoundByVersionAndKind)
{
    const auto search = [](const char16_t* minimum, const char16_t* maximum) {
        LauncherSettings settings;
        settings.wantJdk = settings.wantJre = true;
        settings.minimumVersion = VersionNumber::ParseBound(minimum, VersionNumber::Bound::Minimum);
        settings.maximumVersion = VersionNumber::ParseBound(maximum, VersionNumber::Bound::Maximum);
        return SearchRuntime(settings, u"", SystemRuntimeMachine());
    };
    const auto seventeen = search(u"17", u"17");
    ASSERT_TRUE(seventeen) << "Debian's OpenJDK 17 was not found";
    EXPECT_EQ(seventeen->vmLibraryPath, (JdkHome() / "lib/server/libjvm.so").u16string());
    EXPECT_EQ(seventeen->version->parts[0], 17);
    // Without bounds the highest installed version wins.
    const auto highest = search(u"any", u"any");
    ASSERT_TRUE(highest);
    EXPECT_FALSE(*highest->version < *seventeen->version);
    EXPECT_FALSE(search(u"99", u"any"));
}

TEST(PairProduct, GetsTheLaunchersArgumentsAndOnlyWithPairReturnCodeIsWaitedFor)
{
    const std::pair<std::string, int> cases[] = {{"YES", 42}, {"", 0}};
    for (const auto& [pairReturnCode, exitCode] : cases) {
        AppFolder app;
        fs::create_directories(app.Path() / "jre32" / "lib" / "server");
        WriteBytes(app.Path() / "jre32" / "lib" / "server" / "libjvm.so", kElf32Header);
        fs::copy_file(TALA_PAIR_HELPER_PATH, app.Path() / "shop32");
        app.WriteSettings("[Java Runtime Environment]\nMain Class=shop.Main\nJRE Path=" +
                          (app.Path() / "jre32").string() + "\n[Application]\nPair Product=" +
                          (app.Path() / "shop32").string() + "\nPair Return Code=" + pairReturnCode + "\n");
        // The pair records its arguments as it ends; while "hold" lies beside it, it waits.
        const bool waited = exitCode != 0;
        if (!waited) WriteBytes(app.Path() / "hold", "");
        EXPECT_EQ(app.Run({"one", "two words", ""}).exitCode, exitCode);
        const fs::path record = app.Path() / "pair-arguments";
        EXPECT_EQ(fs::exists(record), waited) << pairReturnCode;
        fs::remove(app.Path() / "hold");
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(record); }, std::chrono::seconds(30)));
        EXPECT_EQ(ReadBytes(record), app.Launcher().string() + std::string("\0one\0two words\0\0", 16));
    }
}

} // namespace
} // namespace tala::test
