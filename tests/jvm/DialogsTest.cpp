// The Linux launcher's dialogs, which are prompts on the terminal it was
// started from: the runtime-not-found question and the uncaught-exception
// choice. Without a terminal they cannot be shown.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

const fs::path kJdk = "/usr/lib/jvm/java-17-openjdk-amd64";

std::string ThrowingApplication(const std::string& failureCheck)
{
    return "[Java Runtime Environment]\nJRE Path=" + kJdk.string() +
           "\nMain Class=probe.ThrowsAfterWork\n[Class Path]\nClass Path=" + TALA_PROBE_CLASSES +
           "\n[Application]\nFailure Check=" + failureCheck + "\n";
}

// What the runtime itself prints for the exception, less its thread header.
std::string TraceAsTheRuntimePrintsIt(const fs::path& marker)
{
    const RunResult java = RunProgram({(kJdk / "bin/java").string(), "-cp", TALA_PROBE_CLASSES,
                                       "probe.ThrowsAfterWork", marker.string()},
                                      fs::temp_directory_path(), std::chrono::seconds(60));
    const std::string header = "Exception in thread \"main\" ";
    return java.errors.rfind(header, 0) == 0 ? java.errors.substr(header.size()) : java.errors;
}

TEST(ExceptionPrompt, WithoutATerminalTheTraceIsShownAndTheApplicationStops)
{
    AppFolder app;
    app.WriteSettings(ThrowingApplication("yes"));
    const RunResult result = app.Run({(app.Path() / "worker-done").string()});
    EXPECT_EQ(result.exitCode, 255);
    const std::string trace = TraceAsTheRuntimePrintsIt(app.Path() / "java-worker-done");
    EXPECT_EQ(result.errors,
              "The java process has thrown the following uncaught exception:\n" + trace);
}

TEST(ExceptionPrompt, OnATerminalIgnoreWaitsForTheApplicationAndStopEndsIt)
{
    struct Case {
        std::string answer;
        int exitCode;
        bool workerFinished;
    };
    const Case cases[] = {{"i\n", 0, true}, {"Stop\n", 255, false}};
    for (const Case& c : cases) {
        AppFolder app;
        app.WriteSettings(ThrowingApplication("YES"));
        const fs::path marker = app.Path() / "worker-done";
        const RunResult result = app.RunOnTerminal({marker.string()}, c.answer);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.answer << result.output;
        EXPECT_EQ(fs::exists(marker), c.workerFinished) << c.answer;
        EXPECT_NE(result.output.find("[I]gnore or [S]top?"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("IllegalStateException: thrown after starting work"), std::string::npos);
    }
}

TEST(RuntimeNotFoundPrompt, AFolderWithAVmIsUsedAndRemembered)
{
    AppFolder app;
    const fs::path userRoot = app.Path() / "config";
    ScopedEnvironmentVariable root(u"XDG_CONFIG_HOME", userRoot.u16string());
    app.WriteSettings("[Product Information]\nProduct Name=Shop\nProduct Code=s1\n"
                      "[Java Runtime Environment]\nMain Class=probe.Args\nMinimum Version=1.8\n"
                      "Maximum Version=1.8\n[Class Path]\nClass Path=" +
                      std::string(TALA_PROBE_CLASSES) + "\n");
    const std::string notARuntime = app.Path().string();
    const RunResult result = app.RunOnTerminal({"x"}, notARuntime + "\n" + kJdk.string() + "\n");
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("The Java Runtime Environment (JRE) was not found. Please  download and "
                                 "install a JRE (version between 1.8 and 1.8) from:\nhttps://adoptium.net/"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("No Java VM was found in " + notARuntime), std::string::npos);
    EXPECT_NE(result.output.find("count 1"), std::string::npos) << "the application did not run";
    EXPECT_EQ(ReadBytes(userRoot / "Shop" / "s1" / "shop.ini"),
              "[Java Runtime Environment]\nJRE Path=" + kJdk.string() + "/\n");

    // The next start needs no question.
    const RunResult next = app.Run({});
    EXPECT_EQ(next.exitCode, 0) << next.errors;
}

TEST(RuntimeNotFoundPrompt, AnEmptyAnswerOrNoTerminalEndsWithoutWriting)
{
    AppFolder app;
    ScopedEnvironmentVariable root(u"XDG_CONFIG_HOME", (app.Path() / "config").u16string());
    app.WriteSettings("[Java Runtime Environment]\nMain Class=probe.Args\nMinimum Version=99\n");
    EXPECT_EQ(app.RunOnTerminal({}, "\n").exitCode, 255);
    EXPECT_EQ(app.Run({}).exitCode, 255);
    EXPECT_FALSE(fs::exists(app.Path() / "config"));
}

} // namespace
} // namespace tala::test
