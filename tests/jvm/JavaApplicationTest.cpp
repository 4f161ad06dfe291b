// The Linux launcher running Java applications on Debian's OpenJDK: what the
// application sees of the launcher's set-up, and how the runtime's own
// failures end the process.
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/Probe.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

RunResult RunProbe(const std::string& settings, const std::vector<std::string>& arguments = {},
                   std::chrono::seconds timeout = std::chrono::seconds(60))
{
    AppFolder app;
    app.WriteSettings(settings);
    return app.Run(arguments, timeout);
}

// probe.Environment prints what it sees, main's heap and stack among it.
std::string EnvironmentSettings(const std::string& parameters)
{
    return ProbeSettings("probe.Environment", "Virtual Machine Parameters=" + parameters);
}

TEST(JavaApplication, EndsAsTheApplicationAndTheRuntimeSay)
{
    struct Case {
        const char* rule;
        std::string settings;
        std::vector<std::string> arguments;
        int exitCode;
        std::string output;
        std::vector<std::string> said; // on standard error, in this order
    };
    const TempFolder broken;
    std::filesystem::create_directories(broken.Path() / "lib" / "server");
    WriteBytes(broken.Path() / "lib" / "server" / "libjvm.so", "not a library\n");
    const Case cases[] = {
        {"a VM library that cannot be loaded is named with the reason",
         "[Java Runtime Environment]\nJRE Path=" + broken.Path().string() + "\nMain Class=probe.Args\n", {}, 255, "",
         {"Failed to load Java VM library: " + (broken.Path() / "lib/server/libjvm.so").string() + " (errno = 8).\n"}},
        {"without JRE Path the installed runtimes' search finds one",
         "[Java Runtime Environment]\nMain Class=demo.Hello\nMaximum Version=any\n"
         "[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n",
         {"a b"}, 0, "Hello from demo.Hello\na b\n", {}},
        {"an uncaught exception is described and the launcher ends only after the application's threads",
         ProbeSettings("probe.Args"), {"throw"}, 0, "count 1\narg 0074 0068 0072 006f 0077\nwork done\n",
         {"java.lang.IllegalStateException: thrown after starting work"}},
        {"an unknown VM option fails the creation with the runtime's reason",
         ProbeSettings("probe.Args", "Virtual Machine Parameters=-Xfoo"), {}, 255, "",
         {"Unrecognized option: -Xfoo", "JNI exception: failed to create the Java VM\nReason: unknown.\n"}},
        {"the runtime reports a missing class", ProbeSettings("probe.Missing"), {}, 1, "",
         {"Error: Could not find or load main class probe.Missing"}},
        {"the runtime reports a missing main", ProbeSettings("probe.NoMain"), {}, 1, "",
         {"Error: Main method not found in class probe.NoMain"}},
        {"a missing class path is reported and the VM still starts",
         "[Java Runtime Environment]\nJRE Path=" + JdkHome().string() + "\nMain Class=probe.Args\n", {}, 1, "",
         {"Java Class Path was not specified in INI file.\n", "Error: Could not find or load main class probe.Args"}},
    };
    for (const Case& c : cases) {
        const RunResult result = RunProbe(c.settings, c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.rule << ": " << result.errors;
        EXPECT_EQ(result.output, c.output) << c.rule;
        std::size_t at = 0;
        for (const std::string& text : c.said) {
            at = result.errors.find(text, at);
            if (at == std::string::npos) {
                ADD_FAILURE() << c.rule << ": missing \"" << text << "\" in\n" << result.errors;
                break;
            }
        }
    }
}

// The runtime's home is named in full, also when its folder is itself named
// lib; programs the application starts find the runtime's java on PATH.
TEST(JavaApplication, SeesTheRuntimeVariablesAndTheExpandedClassPath)
{
    for (const bool homeNamedLib : {false, true}) {
        AppFolder app;
        fs::create_directories(app.Path() / "lib");
        for (const char* jar : {"alpha.jar", "beta.jar"}) fs::copy_file(TALA_PROBE_JAR, app.Path() / "lib" / jar);
        fs::path home = JdkHome();
        if (homeNamedLib) {
            home = app.Path() / "runtime" / "lib";
            fs::create_directories(home.parent_path());
            fs::create_directory_symlink(JdkHome(), home);
        }
        app.WriteSettings("[Java Runtime Environment]\nJRE Path=" + home.string() +
                          "\nMain Class=probe.Environment\nLibrary Path=native\n[Class Path]\nClass Path=lib/*.jar\n");
        const RunResult result = app.Run({});
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_EQ(Line(result.output, "TALA_JVM_PATH"), (home / "lib/server/libjvm.so").string());
        EXPECT_EQ(Line(result.output, "TALA_JVM_HOME"), home.string());
        const auto lastEntry = [&](const std::string& list) { return list.substr(list.rfind(':') + 1); };
        EXPECT_EQ(lastEntry(Line(result.output, "PATH")), (home / "bin").string());
        EXPECT_EQ(lastEntry(Line(result.output, "java.library.path")), (home / "lib").string());
        const std::string classPath = Line(result.output, "java.class.path");
        const std::string alpha = (app.Path() / "lib/alpha.jar").string() + ":";
        const std::string beta = (app.Path() / "lib/beta.jar").string() + ":";
        EXPECT_TRUE(classPath == alpha + beta || classPath == beta + alpha) << classPath;
    }
}

TEST(JavaApplication, APercentageHeapFollowsThePhysicalMemory)
{
    const auto physicalKb = static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                            static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
    const std::pair<std::string, std::uint64_t> cases[] = {{"-Xmx5P", physicalKb / 20}, {"-Xmx0:200:200p", 200 * 1024}};
    for (const auto& [parameter, expectedKb] : cases) {
        const RunResult result = RunProbe(EnvironmentSettings(parameter));
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        const std::uint64_t maxMemory = std::stoull(Line(result.output, "maxMemory"));
        // The VM rounds the heap up to its alignment and reports it less a survivor space.
        EXPECT_LE(maxMemory, expectedKb * 1024 + 4 * 1024 * 1024) << parameter;
        EXPECT_GE(maxMemory, expectedKb * 1024 / 10 * 8) << parameter;
    }
}

TEST(JavaApplication, XssSizesTheJavaThread)
{
    const auto depth = [](const std::string& parameter) {
        const RunResult result = RunProbe(EnvironmentSettings(parameter));
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        return std::stoi(Line(result.output, "depth"));
    };
    EXPECT_GT(depth("-Xss32m"), 8 * depth("-Xss512k"));
}

TEST(JavaApplication, MonitoringToolsNameItsMainClass)
{
    AppFolder app;
    app.WriteSettings(ProbeSettings("probe.Instance"));
    const ScopedEnvironmentVariable trace(u"TALA_TRACE", u"-");
    const std::unique_ptr<Program> launcher = app.Start({});
    const std::string pid = std::to_string(launcher->Pid());
    // probe.Instance announces its main, then waits for "release".
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(app.Path() / ("main-started-" + pid)); }, std::chrono::seconds(60)));
    const RunResult jps = Program({(JdkHome() / "bin" / "jps").string(), "-l"}, app.Path()).Finish(std::chrono::seconds(60));
    WriteBytes(app.Path() / "release", "");
    EXPECT_NE(("\n" + jps.output).find("\n" + pid + " probe.Instance\n"), std::string::npos) << jps.output << jps.errors;
    const RunResult result = launcher->Finish(std::chrono::seconds(60));
    EXPECT_EQ(result.exitCode, 0);
    // TALA_TRACE=- writes the trace to standard error.
    EXPECT_NE(result.errors.find("] vm: option -Dsun.java.command=probe.Instance\n"), std::string::npos) << result.errors;
}

} // namespace
} // namespace tala::test
