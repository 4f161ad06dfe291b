// The Linux launcher running Java applications on Debian's OpenJDK, named by
// "JRE Path": what main receives, what the application sees of the launcher's
// set-up, and how the process ends.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

const fs::path kJdk = "/usr/lib/jvm/java-17-openjdk-amd64";

// A settings file for a probe class: the JDK, the probe classes, and more.
std::string Settings(const std::string& mainClass, const std::string& parameters = "",
                     const std::string& application = "")
{
    return "[Java Runtime Environment]\nJRE Path=" + kJdk.string() + "\nMain Class=" + mainClass +
           "\nVirtual Machine Parameters=" + parameters + "\n[Class Path]\nClass Path=" +
           TALA_PROBE_CLASSES + "\n[Application]\n" + application + "\n";
}

// What probe.Args prints for these arguments.
std::string ArgsOutput(const std::vector<std::u16string>& arguments)
{
    std::ostringstream out;
    out << "count " << arguments.size() << "\n";
    for (const std::u16string& argument : arguments) {
        out << "arg";
        for (const char16_t unit : argument) {
            char hex[8];
            std::snprintf(hex, sizeof hex, " %04x", static_cast<unsigned>(unit));
            out << hex;
        }
        out << "\n";
    }
    return out.str();
}

// The value of a "name=value" line of the output.
std::string Line(const std::string& output, const std::string& name)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return "<missing " + name + ">";
}

RunResult RunProbe(const std::string& settings, const std::vector<std::string>& arguments = {})
{
    AppFolder app;
    app.WriteSettings(settings);
    return app.Run(arguments);
}

TEST(JavaApplication, MainReceivesTheArgumentsThenTheCmdWordsExactly)
{
    AppFolder app;
    app.WriteSettings(Settings("probe.Args", "", "Cmd=from-cmd \"cmd two\"  %TALA_TEST_WORD%"));
    setenv("TALA_TEST_WORD", "expanded", 1);
    const RunResult result = app.Run({"plain", "two words", "", "\"quoted\"", "Gr\xC3\xBC\xC3\x9F" "e",
                                      "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80", "-nosplash"});
    unsetenv("TALA_TEST_WORD");
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, ArgsOutput({u"plain", u"two words", u"", u"\"quoted\"", u"Gr\u00fc\u00dfe",
                                         u"\u65e5\u672c", u"\U0001F600", u"-nosplash", u"from-cmd",
                                         u"cmd two", u"expanded"}));
}

TEST(JavaApplication, NoArgumentsGiveAnEmptyArray)
{
    const RunResult result = RunProbe(Settings("probe.Args"));
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "count 0\n");
}

TEST(JavaApplication, SeesTheRuntimeVariablesAndTheExpandedClassPath)
{
    AppFolder app;
    fs::create_directories(app.Path() / "lib");
    for (const char* jar : {"alpha.jar", "beta.jar"}) fs::copy_file(TALA_PROBE_JAR, app.Path() / "lib" / jar);
    app.WriteSettings("[Java Runtime Environment]\nJRE Path=" + kJdk.string() +
                      "\nMain Class=probe.Environment\n[Class Path]\nClass Path=lib/*.jar\n");
    const RunResult result = app.Run({});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(Line(result.output, "TALA_JVM_PATH"), (kJdk / "lib/server/libjvm.so").string());
    EXPECT_EQ(Line(result.output, "TALA_JVM_HOME"), kJdk.string());
    const std::string classPath = Line(result.output, "java.class.path");
    const std::string alpha = (app.Path() / "lib/alpha.jar").string() + ":";
    const std::string beta = (app.Path() / "lib/beta.jar").string() + ":";
    EXPECT_TRUE(classPath == alpha + beta || classPath == beta + alpha) << classPath;
}

TEST(JavaApplication, APercentageHeapFollowsThePhysicalMemory)
{
    const auto physicalKb = static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                            static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
    struct Case {
        std::string parameter;
        std::uint64_t expectedKb;
    };
    const Case cases[] = {
        {"-Xmx5P", physicalKb / 20},
        {"-Xmx0:200:200p", 200 * 1024},
    };
    for (const Case& c : cases) {
        const RunResult result = RunProbe(Settings("probe.Environment", c.parameter));
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        const std::uint64_t maxMemory = std::stoull(Line(result.output, "maxMemory"));
        // The VM rounds the heap up to its alignment and reports it less a survivor space.
        EXPECT_LE(maxMemory, c.expectedKb * 1024 + 4 * 1024 * 1024) << c.parameter;
        EXPECT_GE(maxMemory, c.expectedKb * 1024 / 10 * 8) << c.parameter;
    }
}

TEST(JavaApplication, XssSizesTheJavaThread)
{
    auto depth = [](const std::string& parameter) {
        const RunResult result = RunProbe(Settings("probe.Depth", parameter));
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        return std::stoi(result.output.substr(result.output.find(' ') + 1));
    };
    EXPECT_GT(depth("-Xss32m"), 8 * depth("-Xss512k"));
}

TEST(JavaApplication, SystemExitStatusIsTheExitCode)
{
    const RunResult result = RunProbe(Settings("probe.Exit"), {"7"});
    EXPECT_EQ(result.exitCode, 7) << result.errors;
}

TEST(JavaApplication, EndsOnlyAfterTheApplicationsThreads)
{
    AppFolder app;
    app.WriteSettings(Settings("probe.Worker"));
    const fs::path marker = app.Path() / "worker-done";
    const RunResult result = app.Run({marker.string()});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(fs::exists(marker)) << "the launcher ended before the worker thread";
}

TEST(JavaApplication, AnUnknownVmOptionFailsCreationWithTheRuntimesReason)
{
    const RunResult result = RunProbe(Settings("probe.Args", "-Xfoo"));
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_NE(result.errors.find("Unrecognized option: -Xfoo"), std::string::npos) << result.errors;
    const std::string message = "JNI exception: failed to create the Java VM\nReason: unknown.\n";
    ASSERT_GE(result.errors.size(), message.size());
    EXPECT_EQ(result.errors.substr(result.errors.size() - message.size()), message);
}

TEST(JavaApplication, TheRuntimeReportsAMissingClassOrMainAndEndsWithOne)
{
    struct Case {
        std::string mainClass;
        std::string said;
    };
    const Case cases[] = {
        {"probe.Missing", "Error: Could not find or load main class probe.Missing"},
        {"probe.NoMain", "Error: Main method not found in class probe.NoMain"},
    };
    for (const Case& c : cases) {
        const RunResult result = RunProbe(Settings(c.mainClass));
        EXPECT_EQ(result.exitCode, 1) << c.mainClass;
        EXPECT_NE(result.errors.find(c.said), std::string::npos) << result.errors;
    }
}

TEST(JavaApplication, AnUncaughtExceptionIsDescribedAndTheRunCountsAsDone)
{
    const RunResult result = RunProbe(Settings("probe.Throws"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.errors.find("java.lang.IllegalStateException: thrown by the application"),
              std::string::npos)
        << result.errors;
}

TEST(JavaApplication, WithIbmRuntimesAllowedTheLauncherStaysAfterMain)
{
    // Such runtimes end the process themselves: the launcher waits for that.
    AppFolder app;
    app.WriteSettings("[Java Runtime Environment]\nJRE Path=" + kJdk.string() +
                      "\nMain Class=probe.Args\nVM Provider=any\n[Class Path]\nClass Path=" +
                      TALA_PROBE_CLASSES + "\n");
    const RunResult result = app.Run({}, std::chrono::seconds(5));
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.output, "count 0\n");
}

TEST(JavaApplication, AMissingClassPathIsReportedAndTheVmStillStarts)
{
    const RunResult result = RunProbe("[Java Runtime Environment]\nJRE Path=" + kJdk.string() +
                                      "\nMain Class=probe.Args\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors.rfind("Java Class Path was not specified in INI file.\n", 0), 0u)
        << result.errors;
}

} // namespace
} // namespace tala::test
