// The Linux launcher running Java applications on Debian's OpenJDK.
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <unistd.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

RunResult RunProbe(const std::string& settings, const std::vector<std::string>& arguments = {})
{
    AppFolder app;
    app.WriteSettings(settings);
    return app.Run(arguments);
}

TEST(JavaApplication, EndsAsTheApplicationAndTheRuntimeSay)
{
    // said: on standard error, in this order
    struct Case { const char* rule; std::string settings; std::vector<std::string> arguments; int exitCode;
        std::string output; std::vector<std::string> said; };
    const TempFolder broken;
    const TempFolder kindless; // its VM library in no folder of a VM kind
    std::filesystem::create_directories(broken.Path() / "lib" / "server");
    std::filesystem::create_directories(kindless.Path() / "lib");
    WriteBytes(broken.Path() / "lib" / "server" / "libjvm.so", "not a library\n");
    WriteBytes(kindless.Path() / "lib" / "libjvm.so", "not a library\n");
    const Case cases[] = {
        {"a VM library that cannot be loaded is named with the reason",
         "[Java Runtime Environment]\nJRE Path=" + broken.Path().string() + "\nMain Class=probe.Args\n", {}, 255, "",
         {"Failed to load Java VM library: " + (broken.Path() / "lib/server/libjvm.so").string() + " (errno = 8).\n"}},
        {"a JRE Path whose VM library lies in no kind's folder is passed over",
         "[Java Runtime Environment]\nJRE Path=" + kindless.Path().string() +
             "\nMain Class=demo.Hello\nMaximum Version=any\n[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n",
         {}, 0, "Hello from demo.Hello\n", {}},
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
        {"the runtime reports a missing main", ProbeSettings("java.lang.Object"), {}, 1, "",
         {"Error: Main method not found in class java.lang.Object"}},
        {"a missing class path is reported and the VM still starts",
         "[Java Runtime Environment]\nJRE Path=" + JdkHome().string() + "\nMain Class=probe.Args\n", {}, 1, "",
         {"Java Class Path was not specified in INI file.\n", "Error: Could not find or load main class probe.Args"}},
    };
    for (const Case& c : cases) {
        const RunResult result = RunProbe(c.settings, c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.rule << ": " << result.errors;
        EXPECT_EQ(result.output, c.output) << c.rule;
        for (std::size_t i = 0, at = 0; i < c.said.size() && at != std::string::npos; ++i) {
            at = result.errors.find(c.said[i], at);
            EXPECT_NE(at, std::string::npos) << c.rule << ": missing \"" << c.said[i] << "\" in\n" << result.errors;
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

// A heap given as a share of the physical memory (or bounded), and -Xss
// sizing the Java thread: measured by how deep main can recurse.
TEST(JavaApplication, APercentageHeapFollowsThePhysicalMemoryAndXssSizesTheJavaThread)
{
    const auto physicalKb = static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) *
                            static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
    const std::pair<std::string, std::uint64_t> cases[] = {{"-Xint -Xmx5P -Xss32m", physicalKb / 20},
                                                           {"-Xint -Xmx0:200:200p -Xss512k", 200 * 1024},
                                                           {"-Xint -Xmx64m", 64 * 1024}};
    std::vector<int> depths;
    for (const auto& [parameter, expectedKb] : cases) {
        const RunResult result = RunProbe(ProbeSettings("probe.Environment", "Virtual Machine Parameters=" + parameter));
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        const std::uint64_t maxMemory = std::stoull(Line(result.output, "maxMemory"));
        // The VM rounds the heap up to its alignment and reports it less a survivor space.
        EXPECT_LE(maxMemory, expectedKb * 1024 + 4 * 1024 * 1024) << parameter;
        EXPECT_GE(maxMemory, expectedKb * 1024 / 10 * 8) << parameter;
        depths.push_back(std::stoi(Line(result.output, "depth")));
    }
    EXPECT_GT(depths[0], 8 * depths[1]);
    // Without "-Xss" the thread gets the runtime's default (1 MB), not the system's (8 MB).
    // Only interpreted frames keep the depth proportional to the stack.
    EXPECT_LT(depths[2], 4 * depths[1]);
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
    for (const char* line : {"] vm: option -Dsun.java.command=probe.Instance\n", "] launcher: exit code 0\n"}) {
        EXPECT_NE(result.errors.find(line), std::string::npos) << result.errors;
    }
}

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

TEST(NativeSplashOnLinux, TheApplicationSeesItCentredUnlessSwitchedOffOrWithoutADisplay)
{
    // Xvfb writes the display's number to the descriptor of -displayfd once it is ready.
    const TempFolder screen;
    Program xvfb({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, screen.Path());
    std::string number;
    ASSERT_TRUE(WaitUntil([&] { return !(number = xvfb.Output()).empty() && number.back() == '\n'; },
                          std::chrono::seconds(20)))
        << "Xvfb did not say which display it took";
    number.pop_back();
    const std::u16string display = u":" + os::FromUtf8(number);
    // seen: by the application
    struct Case { const char* rule; std::optional<std::u16string> display; std::vector<std::string> arguments;
        const char* preferred; std::string seen; };
    const Case cases[] = {
        {"the picture is shown", display, {}, "Yes", "shown 312 234 400 300"},
        {"-nosplash switches it off", display, {"-nosplash"}, "yes", "none"},
        {"without a display nothing shows", std::nullopt, {}, "Yes", "headless"},
        {"not preferred: Linux has no splash window of its own", display, {}, "No", "none"},
    };
    AppFolder app;
    // A relative UTF-8 path, read from the current folder: the app's.
    std::filesystem::copy_file(TALA_SPLASH_PICTURE, app.Path() / "spl\xC3\xA4sh.png");
    for (const Case& c : cases) {
        app.WriteSettings(ProbeSettings("probe.Splash", "", "[Display]\nSplash Screen=spl\xC3\xA4sh.png\n"
                                                            "Preffer Native Splash Screen=" + std::string(c.preferred)));
        const ScopedEnvironmentVariable variable(u"DISPLAY", c.display);
        const RunResult result = app.Run(c.arguments);
        EXPECT_EQ(result.exitCode, 0) << c.rule << ": " << result.errors;
        EXPECT_EQ(Line(result.output, "splash"), c.seen) << c.rule << ": " << result.errors;
    }
    xvfb.Kill(SIGTERM);
}

} // namespace
} // namespace tala::test
