// The Linux launcher's dialogs: prompts on the terminal it was started from, if any.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// probe.Args, given "throw", leaves main with an exception while its other thread works on.
std::string ThrowingApplication(const std::string& failureCheck)
{
    return ProbeSettings("probe.Args", "", "[Application]\nFailure Check=" + failureCheck);
}

TEST(ExceptionPrompt, WithoutATerminalTheTraceIsShownAndTheApplicationStops)
{
    AppFolder app;
    app.WriteSettings(ThrowingApplication("yes"));
    const RunResult result = app.Run({"throw"});
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.output.find("work done"), std::string::npos) << "the application's other thread ran on";
    // The trace as the runtime itself prints it, less its thread header.
    Program java({(JdkHome() / "bin/java").string(), "-cp", TALA_PROBE_CLASSES, "probe.Args", "throw"}, app.Path());
    const std::string trace = java.Finish(std::chrono::seconds(60)).errors;
    const std::string header = "Exception in thread \"main\" ";
    ASSERT_EQ(trace.rfind(header, 0), 0u) << trace;
    EXPECT_EQ(result.errors, "The java process has thrown the following uncaught exception:\n" + trace.substr(header.size()));
}

TEST(ExceptionPrompt, OnATerminalIgnoreWaitsForTheApplicationAndStopEndsIt)
{
    const std::tuple<std::string, int, bool> cases[] = {{"i\n", 0, true}, {"Stop\n", 255, false}};
    for (const auto& [answer, exitCode, workDone] : cases) {
        AppFolder app;
        app.WriteSettings(ThrowingApplication("YES"));
        const RunResult result = app.RunOnTerminal({"throw"}, answer);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, exitCode) << answer << result.output;
        EXPECT_EQ(result.output.find("work done") != std::string::npos, workDone) << answer << result.output;
        EXPECT_NE(result.output.find("[I]gnore or [S]top?"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("IllegalStateException: thrown after starting work"), std::string::npos);
    }
}

// The folder is remembered as a full path, as the Windows folder picker
// gives it, so a start from any other folder finds it again.
TEST(RuntimeNotFoundPrompt, AFolderWithAVmIsUsedAndRememberedInFull)
{
    const std::pair<std::string, std::string> answers[] = {
        {JdkHome().string(), JdkHome().string()},
        {"jdk", "<app>/jdk"},       // in the current folder
        {"~/jdk/", "<app>/home/jdk"}, // in the home folder
    };
    for (const auto& [answer, remembered] : answers) {
        AppFolder app;
        const fs::path userRoot = app.Path() / "config";
        const ScopedEnvironmentVariable root(u"XDG_CONFIG_HOME", userRoot.u16string());
        const ScopedEnvironmentVariable home(u"HOME", (app.Path() / "home").u16string());
        fs::create_directories(app.Path() / "home");
        fs::create_directory_symlink(JdkHome(), app.Path() / "jdk");
        fs::create_directory_symlink(JdkHome(), app.Path() / "home" / "jdk");
        app.WriteSettings("[Product Information]\nProduct Name=Shop\nProduct Code=s1\n"
                          "[Java Runtime Environment]\nMain Class=probe.Args\nMinimum Version=1.8\n"
                          "Maximum Version=1.8\n[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n");
        const std::string notARuntime = app.Path().string();
        const RunResult result = app.RunOnTerminal({"x"}, notARuntime + "\n" + answer + "\n");
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0) << answer << result.output;
        EXPECT_NE(result.output.find("The Java Runtime Environment (JRE) was not found. Please  download and "
                                     "install a JRE (version between 1.8 and 1.8) from:\nhttps://adoptium.net/"),
                  std::string::npos)
            << result.output;
        EXPECT_NE(result.output.find("No Java VM was found in " + notARuntime), std::string::npos);
        EXPECT_NE(result.output.find("count 1"), std::string::npos) << answer << ": the application did not run";
        std::string expected = remembered;
        if (expected.starts_with("<app>")) expected.replace(0, 5, app.Path().string());
        EXPECT_EQ(ReadBytes(userRoot / "Shop" / "s1" / "shop.ini"),
                  "[Java Runtime Environment]\nJRE Path=" + expected + "/\n")
            << answer;
        Program elsewhere({app.Launcher().string()}, userRoot);
        EXPECT_EQ(elsewhere.Finish(std::chrono::seconds(60)).exitCode, 0) << answer << ": the next start asked again";
    }
}

TEST(RuntimeNotFoundPrompt, APicked32BitRuntimeHandsTheStartToThePairProduct)
{
    AppFolder app;
    const ScopedEnvironmentVariable root(u"XDG_CONFIG_HOME", (app.Path() / "config").u16string());
    fs::create_directories(app.Path() / "jre32" / "lib" / "server");
    WriteBytes(app.Path() / "jre32" / "lib" / "server" / "libjvm.so", kElf32Header);
    fs::copy_file(TALA_PAIR_HELPER_PATH, app.Path() / "shop32");
    app.WriteSettings("[Java Runtime Environment]\nMain Class=probe.Args\nMinimum Version=99\n[Application]\n"
                      "Pair Product=" + (app.Path() / "shop32").string() + "\nPair Return Code=yes\n");
    EXPECT_EQ(app.RunOnTerminal({"x"}, (app.Path() / "jre32").string() + "\n").exitCode, 42);
}

TEST(RuntimeNotFoundPrompt, AnEmptyAnswerOrNoTerminalEndsWithoutWriting)
{
    AppFolder app;
    const ScopedEnvironmentVariable root(u"XDG_CONFIG_HOME", (app.Path() / "config").u16string());
    app.WriteSettings("[Java Runtime Environment]\nMain Class=probe.Args\nMinimum Version=99\n");
    EXPECT_EQ(app.RunOnTerminal({}, "\n").exitCode, 255);
    EXPECT_EQ(app.Run({}).exitCode, 255);
    // Input from a terminal is not enough: the question goes to standard error.
    EXPECT_EQ(app.RunOnTerminal({}, JdkHome().string() + "\n", false).exitCode, 255);
    EXPECT_FALSE(fs::exists(app.Path() / "config"));
}

} // namespace
} // namespace tala::test
