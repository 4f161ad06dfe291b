// A single-instance application on Debian's OpenJDK: later starts of the same
// Linux launcher hand their arguments to the running first instance, whose
// secondaryMain receives them (the probe records each call in a file), and
// end with its answer or with the first instance's exit code.
#include "instance/InstanceBlock.h"
#include "os/SharedMemory.h"
#include "os/ThreadMessages.h"
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/BackgroundLauncher.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every wait of these tests ends: a start takes well under a second.
constexpr auto kPatience = 30s;
// Exit statuses as the system reports them: -1 is 255.
constexpr int kFailed = 255;

std::string Settings(const std::string& mainClass, const std::string& application = "Single Instance=yes")
{
    // The JDK whose javac compiled the probes: <home>/bin/javac.
    const fs::path jdk = fs::canonical(TALA_JAVAC_PATH).parent_path().parent_path();
    return "[Java Runtime Environment]\nJRE Path=" + jdk.string() + "\nMain Class=" + mainClass +
           "\n[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n[Application]\n" + application + "\n";
}

// What the probe records for one call of secondaryMain.
std::string Recorded(const std::vector<std::u16string>& arguments)
{
    std::string text = "count " + std::to_string(arguments.size()) + "\n";
    for (const std::u16string& argument : arguments) {
        text += "arg";
        for (const char16_t unit : argument) {
            char hex[8];
            std::snprintf(hex, sizeof hex, " %04x", static_cast<unsigned>(unit));
            text += hex;
        }
        text += "\n";
    }
    return text;
}

class SingleInstance : public testing::Test {
protected:
    std::unique_ptr<BackgroundLauncher> Start(const std::vector<std::string>& arguments,
                                              const fs::path& launcher = {}, const fs::path& folder = {})
    {
        return std::make_unique<BackgroundLauncher>(launcher.empty() ? app.Launcher() : launcher, arguments,
                                                    folder.empty() ? app.Path() : folder,
                                                    "run-" + std::to_string(++runs));
    }

    // A start whose main has begun (it says so in a file named after its process).
    std::unique_ptr<BackgroundLauncher> StartFirst(const std::vector<std::string>& arguments = {})
    {
        auto first = Start(arguments);
        EXPECT_TRUE(MainStarted(*first)) << first->Errors();
        return first;
    }

    bool MainStarted(const BackgroundLauncher& run, const fs::path& folder = {})
    {
        return WaitForFile((folder.empty() ? app.Path() : folder) / ("main-started-" + std::to_string(run.Pid())),
                           kPatience);
    }

    // A later start run to its end.
    std::optional<int> RunSecond(const std::vector<std::string>& arguments) { return Start(arguments)->Wait(kPatience); }

    std::string Call(int number)
    {
        const fs::path file = app.Path() / ("secondary-" + std::to_string(number) + ".txt");
        return WaitForFile(file, kPatience) ? ReadBytes(file) : "<no call " + std::to_string(number) + ">";
    }

    // Lets the first instance's main end, and expects a clean end.
    void Release(BackgroundLauncher& first)
    {
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(first.Wait(kPatience), 0);
        EXPECT_EQ(first.Errors(), "");
    }

    AppFolder app;
    int runs = 0;
};

TEST_F(SingleInstance, SecondaryMainReceivesTheArgumentsOfEachLaterStart)
{
    struct Case {
        const char* rule;
        std::vector<std::string> arguments;
        int exitCode;
        std::optional<std::vector<std::u16string>> received; // none: no call
    };
    const std::string a300(300, 'a');
    const Case cases[] = {
        {"words arrive exactly, whatever their characters", {"plain", "two words", "Gr\xC3\xBC\xC3\x9F" "e",
          "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80", "-nosplash"}, 0,
         std::vector<std::u16string>{u"plain", u"two words", u"Gr\u00fc\u00dfe", u"\u65e5\u672c", u"\U0001F600",
                                     u"-nosplash"}},
        {"no arguments arrive as one empty argument", {}, 0, std::vector<std::u16string>{u""}},
        {"an empty argument ends the list", {"a", "", "b"}, 0, std::vector<std::u16string>{u"a"}},
        {"519 code units with one terminator each fit", {a300, std::string(217, 'b')}, 0,
         std::vector<std::u16string>{std::u16string(300, u'a'), std::u16string(217, u'b')}},
        {"one more does not, and the start fails", {a300, std::string(218, 'b')}, kFailed, std::nullopt},
        // The probe's secondaryMain stays in this call until "finish-secondary" appears.
        {"a void secondaryMain answers as its call begins", {"hold"}, 0, std::vector<std::u16string>{u"hold"}},
    };
    app.WriteSettings(Settings("probe.Instance"));
    auto first = StartFirst();
    int calls = 0;
    for (const Case& c : cases) {
        const auto second = Start(c.arguments);
        EXPECT_EQ(second->Wait(kPatience), c.exitCode) << c.rule;
        EXPECT_EQ(second->Errors(), "") << c.rule << ": nothing is shown";
        if (c.received) {
            EXPECT_EQ(Call(++calls), Recorded(*c.received)) << c.rule;
        }
    }
    EXPECT_FALSE(fs::exists(app.Path() / ("secondary-" + std::to_string(calls + 1) + ".txt")));
    WriteBytes(app.Path() / "finish-secondary", "");
    Release(*first);
}

TEST_F(SingleInstance, AnIntSecondaryMainsResultIsTheExitCode)
{
    struct Case {
        std::string argument;
        int exitCode;
    };
    const Case cases[] = {{"7", 7}, {"-2", 254}, {"0", 0}, {"word", 42}};
    app.WriteSettings(Settings("probe.InstanceInt"));
    auto first = StartFirst();
    for (const Case& c : cases) EXPECT_EQ(RunSecond({c.argument}), c.exitCode) << c.argument;
    Release(*first);
}

TEST_F(SingleInstance, WithoutSecondaryMainALaterStartEndsWithTheFirstInstancesExitCode)
{
    struct Case {
        const char* ending;
        std::vector<std::string> firstArguments;
        bool kill;
        int exitCode;
    };
    const Case cases[] = {
        {"System.exit(23)", {"23"}, false, 23},
        {"main returns", {}, false, 0},
        // Only the parent is told the status of a killed process.
        {"killed", {}, true, kFailed},
    };
    app.WriteSettings(Settings("probe.InstanceNone"));
    for (const Case& c : cases) {
        auto first = StartFirst(c.firstArguments);
        auto second = Start({"waits"});
        EXPECT_FALSE(second->Wait(1s)) << c.ending << ": the later start did not wait";
        if (c.kill) {
            first->Kill();
        } else {
            WriteBytes(app.Path() / "release", "");
        }
        EXPECT_EQ(second->Wait(kPatience), c.exitCode) << c.ending;
        EXPECT_NE(first->Errors().find("java.lang.NoSuchMethodError: secondaryMain"), std::string::npos)
            << c.ending << ": " << first->Errors();
        fs::remove(app.Path() / "release");
    }
    // The killed instance left its block behind: the next start still becomes
    // a first instance.
    auto next = StartFirst();
    Release(*next);
}

TEST_F(SingleInstance, ALaterStartMadeBeforeMainWaitsForIt)
{
    app.WriteSettings(Settings("probe.InstanceLate"));
    auto first = Start({});
    ASSERT_TRUE(WaitForFile(app.Path() / "initialising", kPatience)) << first->Errors();
    auto second = Start({"early"});
    EXPECT_FALSE(second->Wait(1s)) << "answered before main";
    EXPECT_FALSE(fs::exists(app.Path() / "secondary-1.txt"));
    WriteBytes(app.Path() / "go", "");
    EXPECT_EQ(second->Wait(kPatience), 0);
    EXPECT_EQ(Call(1), Recorded({u"early"}));
    Release(*first);
}

TEST(SingleInstanceSwitch, OnlyAnExactYesOfAnApplicationSwitchesItOn)
{
    struct Case {
        const char* application;
        bool handsOff;
    };
    const Case cases[] = {
        {"Single Instance=yes", true},
        {"Single Instance=Yes", false},
        {"Single Instance=yes\nApplication Type=service", false},
    };
    for (const Case& c : cases) {
        AppFolder app;
        app.WriteSettings(Settings("probe.Instance", c.application));
        BackgroundLauncher first(app.Launcher(), {}, app.Path(), "first");
        ASSERT_TRUE(WaitForFile(app.Path() / ("main-started-" + std::to_string(first.Pid())), kPatience));
        BackgroundLauncher second(app.Launcher(), {"later"}, app.Path(), "second");
        const fs::path sign = c.handsOff ? app.Path() / "secondary-1.txt"
                                         : app.Path() / ("main-started-" + std::to_string(second.Pid()));
        EXPECT_TRUE(WaitForFile(sign, kPatience)) << c.application;
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(second.Wait(kPatience), 0) << c.application;
        EXPECT_EQ(first.Wait(kPatience), 0) << c.application;
    }
}

TEST_F(SingleInstance, TwoPathsThatDifferOnlyInLetterCaseAreTwoInstances)
{
    app.WriteSettings(Settings("probe.Instance"));
    const fs::path upper = app.Path() / "Shop";
    fs::copy_file(app.Launcher(), upper);
    WriteBytes(app.Path() / "Shop.ini", Settings("probe.Instance"));
    // Each in a folder of its own, where its main says that it started.
    fs::create_directories(app.Path() / "lower");
    fs::create_directories(app.Path() / "upper");
    auto lowerRun = Start({}, app.Launcher(), app.Path() / "lower");
    auto upperRun = Start({}, upper, app.Path() / "upper");
    EXPECT_TRUE(MainStarted(*lowerRun, app.Path() / "lower"));
    EXPECT_TRUE(MainStarted(*upperRun, app.Path() / "upper"));
    for (const char* folder : {"lower", "upper"}) WriteBytes(app.Path() / folder / "release", "");
    EXPECT_EQ(lowerRun->Wait(kPatience), 0);
    EXPECT_EQ(upperRun->Wait(kPatience), 0);
}

TEST_F(SingleInstance, FiftyLaterStartsAtOnceAllEndAndTheFirstInstanceRunsOn)
{
    constexpr int kStarts = 50;
    app.WriteSettings(Settings("probe.InstanceInt"));
    auto first = StartFirst();
    const auto began = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<BackgroundLauncher>> seconds;
    for (int i = 0; i < kStarts; ++i) seconds.push_back(Start({"start-" + std::to_string(i)}));
    // They share one argument block: a worker reads whatever the latest
    // start left there, which for this probe always answers 42.
    const auto deadline = began + 120s;
    for (auto& second : seconds) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        EXPECT_EQ(second->Wait(std::max(left, 0ms)), 42) << second->Errors();
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    RecordProperty("fifty_later_starts_ms", static_cast<int>(took.count()));
    std::printf("%d later starts at once ended in %lld ms\n", kStarts, static_cast<long long>(took.count()));
    EXPECT_TRUE(WaitForFile(app.Path() / ("secondary-" + std::to_string(kStarts) + ".txt"), kPatience));
    EXPECT_TRUE(first->Running());
    Release(*first);
}

TEST_F(SingleInstance, ABlockFilledWithOtherBytesDoesNotBringTheFirstInstanceDown)
{
    app.WriteSettings(Settings("probe.InstanceInt"));
    auto first = StartFirst();
    const auto memory = os::SharedMemory::Open(InstanceNameFor(fs::canonical(app.Launcher()).u16string()),
                                               kInstanceBlockSize);
    ASSERT_TRUE(memory);
    ASSERT_FALSE(memory->IsOwner());
    const InstanceBlock block = memory->Bytes().first<kInstanceBlockSize>();
    const std::uint32_t listener = ReadBlockNumber(block, kListenerThreadOffset);
    const std::uint32_t handOff = ReadBlockNumber(block, kHandOffMessageOffset);
    std::fill(block.begin(), block.end(), std::byte{0xFF});

    // A hand-off over such a block: the argument block holds no end.
    os::MessageQueue replies;
    ASSERT_TRUE(os::PostThreadMessageTo(listener, {handOff, os::CurrentThreadId(), 0}));
    std::optional<os::ThreadMessage> reply;
    for (auto waited = 0ms; !reply && waited < kPatience; waited += 10ms) {
        reply = replies.Take();
        if (!reply) std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->wParam, 42u);
    EXPECT_EQ(Call(1), Recorded({std::u16string(kArgumentBlockSize / 2, u'\uFFFF')}));

    // A later start finds no listener in it.
    EXPECT_EQ(RunSecond({"later"}), kFailed);
    Release(*first);
}

} // namespace
} // namespace tala::test
