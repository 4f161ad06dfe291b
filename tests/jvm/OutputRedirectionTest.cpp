// The application's standard streams sent to files named by the settings, on
// Debian's OpenJDK: patterns filled in, folders made, append or truncate, and
// the text intact.
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/Probe.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// probe.Streams writes its arguments to System.out, from its static initialiser on.
std::string StreamsSettings(const std::string& application)
{
    return ProbeSettings("probe.Streams", "", "[Application]\n" + application);
}

TEST(OutputRedirection, PatternedFilesInNewFoldersGetBothStreams)
{
    AppFolder app;
    app.WriteSettings(StreamsSettings("Output File=" + app.Path().string() + "/logs/out_%yyyyMMdd_HHmmss_L%.log\n"
                                      "Error File=" + app.Path().string() + "/logs/deeper/err.log"));
    // Under a UTF-8 locale, as a desktop session would run it.
    const ScopedEnvironmentVariable locale(u"LC_ALL", u"C.UTF-8");
    const RunResult result = app.Run({"Gr\xC3\xBC\xC3\x9F" "e", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80"});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "");

    std::vector<fs::path> outputs;
    for (const auto& entry : fs::directory_iterator(app.Path() / "logs")) {
        if (entry.is_regular_file()) outputs.push_back(entry.path());
    }
    ASSERT_EQ(outputs.size(), 1u);
    const std::time_t now = std::time(nullptr);
    char today[16];
    std::strftime(today, sizeof today, "out_%Y%m%d_", std::localtime(&now));
    EXPECT_EQ(outputs[0].filename().string().rfind(today, 0), 0u) << outputs[0];
    EXPECT_EQ(ReadBytes(outputs[0]), "from the static initialiser\nGr\xC3\xBC\xC3\x9F" "e\n"
                                     "\xE6\x97\xA5\xE6\x9C\xAC\n\xF0\x9F\x98\x80\n");
    EXPECT_EQ(ReadBytes(app.Path() / "logs" / "deeper" / "err.log"), "to the error stream\n");
}

TEST(OutputRedirection, OnlyTheExactYesAppends)
{
    const std::pair<std::string, std::string> cases[] = {
        {"yes", "from the static initialiser\nfirst\nfrom the static initialiser\nsecond\n"},
        {"Yes", "from the static initialiser\nsecond\n"},
    };
    for (const auto& [append, expected] : cases) {
        AppFolder app;
        app.WriteSettings(StreamsSettings("Output File=out.log\nOutput Append=" + append));
        app.Run({"first"});
        app.Run({"second"});
        EXPECT_EQ(ReadBytes(app.Path() / "out.log"), expected) << append;
    }
}

TEST(OutputRedirection, AFileThatCannotBeOpenedLeavesTheStreamAsItWas)
{
    AppFolder app;
    fs::create_directories(app.Path() / "taken");
    app.WriteSettings(StreamsSettings("Output File=" + (app.Path() / "taken").string()));
    const RunResult result = app.Run({"still here"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "from the static initialiser\nstill here\n");
    EXPECT_NE(result.errors.find("java.io.FileNotFoundException"), std::string::npos) << result.errors;
}

} // namespace
} // namespace tala::test
