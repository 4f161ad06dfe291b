// tala-pack on the Linux launcher: settings and jar carried in its own file, and what it refuses.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// Packs the app's launcher in place: the settings to carry are written as carry.ini first, the
// jar is the probe classes' jar.
RunResult Pack(const AppFolder& app, const std::string& carried, bool withJar)
{
    std::vector<std::string> argv{TALA_PACK_PATH, "--launcher", app.Launcher(), "--output", app.Launcher()};
    if (!carried.empty()) {
        WriteBytes(app.Path() / "carry.ini", carried);
        argv.insert(argv.end(), {"--settings", (app.Path() / "carry.ini").string()});
    }
    if (withJar) argv.insert(argv.end(), {"--jar", TALA_PROBE_JAR});
    return Program(argv, app.Path()).Finish(std::chrono::seconds(30));
}

// probe.Args without a class path (the launcher's file is one with "Embedded Jar"),
// written as a user might: names in another case, a value in quotes.
std::string ArgsSettings(const std::string& code, const std::string& more = "")
{
    return "[Product Information]\nUpgrade Code=" + code +
           "\n[java runtime environment]\nJRE Path=" + JdkHome().string() +
           "\nmain class = \"probe.Args\"\n[Application]\n" + more;
}

TEST(Pack, CarriedSettingsAndJarRunTheApplication)
{
    // carried: the settings packed in, besideFile: the file beside the launcher; none when empty
    struct Case { const char* rule; std::string carried; std::string besideFile; int exitCode; std::string output;
        std::string said; };
    const std::string ran = UnitsInHex({u"word"});
    const std::string noMainClass = "Main class was not specified in INI file.\n";
    const Case cases[] = {
        {"carried settings under an empty code need no settings file", ArgsSettings("", "Embedded Jar=Yes\n"),
         "", 0, ran, ""},
        {"the settings file's code opens the carried settings (UTF-8 with a byte-order mark)",
         "\xEF\xBB\xBF" + ArgsSettings("right", "embedded jar=yes\n"),
         "[Product Information]\nUpgrade Code=right\n", 0, ran, ""},
        {"another code reads no carried settings", ArgsSettings("right", "Embedded Jar=Yes\n"),
         "[Product Information]\nUpgrade Code=wrong\n", 255, "", noMainClass},
        {"a code only the carried text names opens nothing", ArgsSettings("right", "Embedded Jar=Yes\n"), "",
         255, "", noMainClass},
        {"Embedded Jar in the settings file beside runs the carried jar", "",
         ArgsSettings("", "Embedded Jar=Yes\n"), 0, ran, ""},
    };
    for (const Case& c : cases) {
        const AppFolder app;
        const RunResult pack = Pack(app, c.carried, true);
        ASSERT_EQ(pack.exitCode, 0) << c.rule << ": " << pack.errors;
        if (!c.besideFile.empty()) app.WriteSettings(c.besideFile);
        fs::remove(app.Path() / "carry.ini");

        const RunResult result = app.Run({"word"});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.rule << ": " << result.errors;
        EXPECT_EQ(result.output, c.output) << c.rule;
        EXPECT_EQ(result.errors, c.said) << c.rule;
    }
}

TEST(Pack, RepackingReplacesWhatTheLauncherCarried)
{
    const AppFolder twice;
    ASSERT_EQ(Pack(twice, ArgsSettings("", "Cmd=first\n"), false).exitCode, 0);
    ASSERT_EQ(Pack(twice, "", true).exitCode, 0);
    ASSERT_EQ(Pack(twice, ArgsSettings("", "Cmd=second\nEmbedded Jar=Yes\n"), false).exitCode, 0);
    const AppFolder once;
    ASSERT_EQ(Pack(once, ArgsSettings("", "Cmd=second\nEmbedded Jar=Yes\n"), true).exitCode, 0);

    EXPECT_EQ(ReadBytes(twice.Launcher()), ReadBytes(once.Launcher()));
    const RunResult result = twice.Run({});
    EXPECT_EQ(result.output, UnitsInHex({u"second"})) << result.errors;
}

TEST(Pack, RefusesBadInputNamingTheFileAndWritesNothing)
{
    // "@" stands for the application folder; blamed: the file the message names
    struct Case { const char* rule; std::vector<std::string> arguments; std::string blamed; std::string reason; };
    const Case cases[] = {
        {"a missing settings file", {"--launcher", "@/shop", "--output", "@/packed", "--settings", "@/none.ini"},
         "@/none.ini", "cannot be read"},
        {"a jar that is no zip", {"--launcher", "@/shop", "--output", "@/packed", "--jar", "@/shop"}, "@/shop",
         "is not a zip file"},
        {"Windows branding on a Linux launcher",
         {"--launcher", "@/shop", "--output", "@/packed", "--execution-level", "asInvoker"}, "@/shop", "Linux (ELF)"},
        {"a program that is no Tala launcher", {"--launcher", TALA_PAIR_HELPER_PATH, "--output", "@/packed"},
         TALA_PAIR_HELPER_PATH, "is not a Tala launcher"},
        {"a cut Windows executable", {"--launcher", "@/cut.exe", "--output", "@/packed"}, "@/cut.exe", "cut short"},
        {"an output folder that does not exist", {"--launcher", "@/shop", "--output", "@/none/shop"}, "@/none/shop",
         "cannot be written"},
    };
    for (const Case& c : cases) {
        AppFolder app;
        WriteBytes(app.Path() / "cut.exe", std::string("MZ") + std::string(62, '\x40'));
        const auto inFolder = [&](const std::string& text) {
            return text.rfind('@', 0) == 0 ? app.Path().string() + text.substr(1) : text;
        };
        std::vector<std::string> argv{TALA_PACK_PATH};
        for (const std::string& argument : c.arguments) argv.push_back(inFolder(argument));
        const auto before = std::distance(fs::directory_iterator(app.Path()), fs::directory_iterator());

        const RunResult result = Program(argv, app.Path()).Finish(std::chrono::seconds(30));
        EXPECT_EQ(result.exitCode, 1) << c.rule;
        EXPECT_NE(result.errors.find(inFolder(c.blamed) + ": "), std::string::npos) << c.rule << ": " << result.errors;
        EXPECT_NE(result.errors.find(c.reason), std::string::npos) << c.rule << ": " << result.errors;
        EXPECT_EQ(std::distance(fs::directory_iterator(app.Path()), fs::directory_iterator()), before) << c.rule;
    }
}

} // namespace
} // namespace tala::test
