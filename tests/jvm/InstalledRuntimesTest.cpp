// The runtime search on this machine's /usr/lib/jvm, JAVA_HOME and SDKMAN!'s
// runtimes, and a 32-bit VM library handing the start to the pair product.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// A folder the search sees as a runtime of its own, of the given version, whose
// bin and (unless it is to lack its VM library) lib are the build's JDK's.
fs::path RuntimeView(const fs::path& folder, const std::string& version, bool withLibrary = true)
{
    fs::create_directories(folder);
    WriteBytes(folder / "release", "IMPLEMENTOR=\"Tala tests\"\nJAVA_VERSION=\"" + version + "\"\n");
    fs::create_directory_symlink(JdkHome() / "bin", folder / "bin");
    if (withLibrary) fs::create_directory_symlink(JdkHome() / "lib", folder / "lib");
    return folder;
}

TEST(InstalledRuntimes, ExtendedSearchAddsJavaHomeAndSdkmanAndTheTraceSaysWhy)
{
    TempFolder user;
    const fs::path sdkman = user.Path() / ".sdkman" / "candidates" / "java";
    const fs::path javaHome = RuntimeView(user.Path() / "java-home", "17.0.99");
    const fs::path newest = RuntimeView(sdkman / "17.0.98-view", "17.0.98");
    RuntimeView(sdkman / "11.0.2-old", "11.0.2");
    // Newer than all, but without its VM library: never to be chosen.
    RuntimeView(sdkman / "17.0.100-removed", "17.0.100", false);
    fs::create_directory_symlink(newest, sdkman / "current");
    const ScopedEnvironmentVariable home(u"HOME", user.Path().u16string());

    // traced: each candidate and its verdict
    struct Case { const char* rule; const char* extendedSearch; std::optional<fs::path> javaHome; fs::path chosen;
        std::vector<std::pair<std::string, std::string>> traced; };
    const Case cases[] = {
        {"off: JAVA_HOME is not looked at", "", javaHome, JdkHome(), {}},
        {"on: JAVA_HOME's newer 17 wins", "Yes", javaHome, javaHome, {{"JAVA_HOME", "taken"}}},
        {"on: SDKMAN!'s newest 17 wins", "yes", std::nullopt, newest,
         {{"17.0.98-view ", "taken"},
          {"11.0.2-old ", "refused: version bound"},
          {"17.0.100-removed ", "refused: missing library"},
          {"java/current ", "skipped: reached before"},
          {"Software\\JavaSoft\\JDK\\17", "passed over: ranked lower"}}},
        {"off: SDKMAN! is not looked at", "no", std::nullopt, JdkHome(), {}},
    };
    for (const Case& c : cases) {
        AppFolder app;
        const fs::path traceFile = app.Path() / "trace.log";
        const ScopedEnvironmentVariable java(u"JAVA_HOME",
                                             c.javaHome ? std::optional(c.javaHome->u16string()) : std::nullopt);
        const ScopedEnvironmentVariable trace(u"TALA_TRACE", traceFile.u16string());
        app.WriteSettings("[Java Runtime Environment]\nMain Class=probe.Environment\nMinimum Version=17\n"
                          "Maximum Version=17\nExtended Search=" + std::string(c.extendedSearch) +
                          "\n[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n");
        const RunResult result = app.Run({});
        ASSERT_EQ(result.exitCode, 0) << c.rule << ": " << result.errors;
        EXPECT_EQ(Line(result.output, "TALA_JVM_PATH"), (c.chosen / "lib/server/libjvm.so").string()) << c.rule;
        const std::string traced = ReadBytes(traceFile);
        for (const auto& [candidate, verdict] : c.traced) {
            const std::size_t at = traced.find(candidate);
            const std::string line = at == std::string::npos ? "" : traced.substr(at, traced.find('\n', at) - at);
            EXPECT_NE(line.find("-> " + verdict), std::string::npos)
                << c.rule << ": " << candidate << " not " << verdict << " in\n" << traced;
        }
    }
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
