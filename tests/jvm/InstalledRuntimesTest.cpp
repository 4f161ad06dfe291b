// The runtime search on this machine: the runtimes installed under /usr/lib/jvm
// (Debian's OpenJDK 17 among them) are found, ranked and chosen within the
// bounds; and a 32-bit VM library hands the start over to the pair product.
#include "runtime/FindRuntime.h"
#include "runtime/RegistrySearch.h"
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// Debian's OpenJDK 17, which the build itself depends on.
const fs::path kDebianJdk = "/usr/lib/jvm/java-17-openjdk-amd64";

LauncherSettings AnyVersion()
{
    LauncherSettings settings;
    settings.wantJdk = settings.wantJre = true;
    settings.maximumVersion = VersionNumber::ParseBound(u"any", VersionNumber::Bound::Maximum);
    return settings;
}

TEST(InstalledRuntimes, AreFoundAndRankedByVersion)
{
    const LauncherSettings settings = AnyVersion();
    std::vector<JavaRuntime> candidates;
    for (const RuntimeKey& key : kRuntimeKeys) {
        CollectRegistryCandidates(key, os::RegistryView::Default, settings, SystemRuntimeMachine(),
                                  os::PathStyle::Posix, candidates);
    }
    SortCandidates(candidates, settings);

    const auto debian = std::find_if(candidates.begin(), candidates.end(), [](const JavaRuntime& r) {
        return r.homeFolder == (kDebianJdk / "").u16string();
    });
    ASSERT_NE(debian, candidates.end()) << "Debian's OpenJDK 17 was not found";
    EXPECT_EQ(debian->version.parts[0], 17);
    EXPECT_TRUE(debian->hasServerVm);
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        EXPECT_FALSE(candidates[i - 1].version < candidates[i].version) << "not ranked at " << i;
    }

    const auto chosen = SearchRuntime(settings, u"", SystemRuntimeMachine());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->version, candidates.front().version);

    LauncherSettings only17 = settings;
    only17.maximumVersion = VersionNumber::ParseBound(u"17", VersionNumber::Bound::Maximum);
    only17.minimumVersion = VersionNumber::ParseBound(u"17", VersionNumber::Bound::Minimum);
    const auto seventeen = SearchRuntime(only17, u"", SystemRuntimeMachine());
    ASSERT_TRUE(seventeen);
    EXPECT_EQ(seventeen->vmLibraryPath, (kDebianJdk / "lib/server/libjvm.so").u16string());
}

TEST(InstalledRuntimes, BoundsThatExcludeThemAllEndSilently)
{
    AppFolder app;
    app.WriteSettings("[Java Runtime Environment]\nMain Class=demo.Hello\nMinimum Version=99\n"
                      "Maximum Version=any\n");
    const RunResult result = app.Run({});
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.errors, "");
}

// A "JRE Path" whose VM library is a 32-bit ELF file, and a pair program.
class PairProduct : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(app.Path() / "jre32" / "lib" / "server");
        WriteBytes(app.Path() / "jre32" / "lib" / "server" / "libjvm.so",
                   std::string("\x7F" "ELF\x01\x01\x01", 7) + std::string(57, '\0'));
        fs::copy_file(TALA_PAIR_HELPER_PATH, app.Path() / "shop32");
    }

    void WriteSettings(const std::string& pairReturnCode)
    {
        app.WriteSettings("[Java Runtime Environment]\nMain Class=shop.Main\nJRE Path=" +
                          (app.Path() / "jre32").string() + "\n[Application]\nPair Product=" +
                          (app.Path() / "shop32").string() + "\nPair Return Code=" + pairReturnCode +
                          "\n");
    }

    std::string RecordedArguments(std::chrono::seconds patience) const
    {
        const fs::path record = app.Path() / "pair-arguments";
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the writer finish
        return ReadBytes(record);
    }

    std::string ExpectedArguments() const
    {
        return app.Launcher().string() + std::string("\0one\0two words\0\0", 16);
    }

    AppFolder app;
};

TEST_F(PairProduct, GetsTheLaunchersArgumentsAndItsExitCodeIsReturned)
{
    WriteSettings("YES");
    const RunResult result = app.Run({"one", "two words", ""});
    EXPECT_EQ(result.exitCode, 42);
    EXPECT_EQ(RecordedArguments(std::chrono::seconds(1)), ExpectedArguments());
}

TEST_F(PairProduct, WithoutPairReturnCodeTheLauncherEndsAtOnce)
{
    WriteSettings("");
    WriteBytes(app.Path() / "hold", "");
    const RunResult result = app.Run({"one", "two words", ""});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(fs::exists(app.Path() / "pair-arguments")) << "the launcher waited";
    fs::remove(app.Path() / "hold");
    EXPECT_EQ(RecordedArguments(std::chrono::seconds(20)), ExpectedArguments());
}

} // namespace
} // namespace tala::test
