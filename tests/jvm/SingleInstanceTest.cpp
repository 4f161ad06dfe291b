// A single-instance application on Debian's OpenJDK: later starts of the same
// Linux launcher hand their arguments to the running first instance, whose
// secondaryMain receives them (the probe records each call in a file), and
// end with its answer or with the first instance's exit code.
#include "instance/InstanceBlock.h"
#include "os/SharedMemory.h"
#include "os/ThreadMessages.h"
#include "tests/jvm/AppFolder.h"
#include "tests/jvm/Probe.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every wait of these tests ends: a start takes well under a second.
constexpr auto kPatience = 30s;
// Exit statuses as the system reports them: -1 is 255.
constexpr int kFailed = 255;

std::string InstanceSettings(const std::string& mainClass, const std::string& application = "Single Instance=yes")
{
    return ProbeSettings(mainClass, "", "[Application]\n" + application);
}

class SingleInstance : public testing::Test {
protected:
    // Whether the file appears in the application folder in time.
    bool Appears(const std::string& name)
    {
        return WaitUntil([&] { return fs::exists(app.Path() / name); }, kPatience);
    }

    // A start whose main has begun (it says so in a file named after its process).
    std::unique_ptr<Program> StartFirst(const std::vector<std::string>& arguments = {})
    {
        auto first = app.Start(arguments);
        EXPECT_TRUE(Appears("main-started-" + std::to_string(first->Pid()))) << first->Errors();
        return first;
    }

    // The arguments of the numbered call of secondaryMain, once it has been made.
    std::string Call(int number)
    {
        const std::string file = "secondary-" + std::to_string(number) + ".txt";
        return Appears(file) ? ReadBytes(app.Path() / file) : "<no call>";
    }

    // Lets the first instance's main end, and expects a clean end.
    void Release(Program& first)
    {
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(first.Wait(kPatience), 0);
        EXPECT_EQ(first.Errors(), "");
    }

    AppFolder app;
};

TEST_F(SingleInstance, SecondaryMainReceivesTheArgumentsOfEachLaterStart)
{
    struct Case {
        const char* rule;
        std::vector<std::string> arguments;
        int exitCode;
        std::optional<std::string> received; // by secondaryMain; none: no call
    };
    const std::string a300(300, 'a');
    const Case cases[] = {
        {"words arrive exactly, whatever their characters",
         {"plain", "two words", "Gr\xC3\xBC\xC3\x9F" "e", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80", "-nosplash"},
         0,
         UnitsInHex({u"plain", u"two words", u"Gr\u00fc\u00dfe", u"\u65e5\u672c", u"\U0001F600", u"-nosplash"})},
        {"no arguments arrive as one empty argument", {}, 0, UnitsInHex({u""})},
        {"an empty argument ends the list", {"a", "", "b"}, 0, UnitsInHex({u"a"})},
        {"519 code units with one terminator each fit", {a300, std::string(217, 'b')}, 0,
         UnitsInHex({std::u16string(300, u'a'), std::u16string(217, u'b')})},
        {"one more does not, and the start fails", {a300, std::string(218, 'b')}, kFailed, std::nullopt},
        // The probe's secondaryMain stays in this call until "finish-secondary" appears.
        {"a void secondaryMain answers as its call begins", {"hold"}, 0, UnitsInHex({u"hold"})},
    };
    app.WriteSettings(InstanceSettings("probe.Instance"));
    auto first = StartFirst();
    int calls = 0;
    for (const Case& c : cases) {
        const auto second = app.Start(c.arguments);
        EXPECT_EQ(second->Wait(kPatience), c.exitCode) << c.rule;
        EXPECT_EQ(second->Errors(), "") << c.rule << ": nothing is shown";
        if (c.received) {
            EXPECT_EQ(Call(++calls), *c.received) << c.rule;
        }
    }
    EXPECT_FALSE(fs::exists(app.Path() / ("secondary-" + std::to_string(calls + 1) + ".txt")));
    WriteBytes(app.Path() / "finish-secondary", "");
    Release(*first);
}

TEST_F(SingleInstance, AnIntSecondaryMainsResultIsTheExitCode)
{
    const std::pair<std::string, int> cases[] = {{"7", 7}, {"-2", 254}, {"0", 0}, {"word", 42}};
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    auto first = StartFirst();
    for (const auto& [argument, exitCode] : cases) {
        EXPECT_EQ(app.Start({argument})->Wait(kPatience), exitCode) << argument;
    }
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
    app.WriteSettings(InstanceSettings("probe.InstanceNone"));
    for (const Case& c : cases) {
        auto first = StartFirst(c.firstArguments);
        auto second = app.Start({"waits"});
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
    Release(*StartFirst());
}

TEST_F(SingleInstance, ALaterStartMadeBeforeMainWaitsForIt)
{
    app.WriteSettings(InstanceSettings("probe.Instance"));
    // The probe's class initialisation then waits for "go" before main.
    WriteBytes(app.Path() / "late", "");
    auto first = app.Start({});
    ASSERT_TRUE(Appears("initialising")) << first->Errors();
    auto second = app.Start({"early"});
    EXPECT_FALSE(second->Wait(1s)) << "answered before main";
    EXPECT_FALSE(fs::exists(app.Path() / "secondary-1.txt"));
    WriteBytes(app.Path() / "go", "");
    EXPECT_EQ(second->Wait(kPatience), 0);
    EXPECT_EQ(Call(1), UnitsInHex({u"early"}));
    Release(*first);
}

TEST_F(SingleInstance, OnlyTheSameExecutableWithAnExactYesHandsOff)
{
    struct Case {
        const char* rule;
        std::string application;
        std::string secondLauncher;
        bool handsOff;
    };
    const Case cases[] = {
        {"exact yes", "Single Instance=yes", "shop", true},
        {"Yes is not yes", "Single Instance=Yes", "shop", false},
        {"a service is never one", "Single Instance=yes\nApplication Type=service", "shop", false},
        {"a path differing only in letter case is another executable", "Single Instance=yes", "Shop", false},
    };
    fs::copy_file(app.Launcher(), app.Path() / "Shop");
    for (const Case& c : cases) {
        for (const char* name : {"shop.ini", "Shop.ini"}) {
            WriteBytes(app.Path() / name, InstanceSettings("probe.Instance", c.application));
        }
        auto first = StartFirst();
        Program second({(app.Path() / c.secondLauncher).string(), "later"}, app.Path());
        EXPECT_TRUE(Appears(c.handsOff ? "secondary-1.txt" : "main-started-" + std::to_string(second.Pid()))) << c.rule;
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(second.Wait(kPatience), 0) << c.rule;
        EXPECT_EQ(first->Wait(kPatience), 0) << c.rule;
        for (const fs::path& file : {app.Path() / "release", app.Path() / "secondary-1.txt"}) fs::remove(file);
    }
}

TEST_F(SingleInstance, FiftyLaterStartsAtOnceAllEndAndTheFirstInstanceRunsOn)
{
    constexpr int kStarts = 50;
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    auto first = StartFirst();
    std::vector<std::unique_ptr<Program>> seconds;
    for (int i = 0; i < kStarts; ++i) seconds.push_back(app.Start({"start-" + std::to_string(i)}));
    // They share one argument block: a worker reads whatever the latest
    // start left there, which for this probe always answers 42.
    const auto giveUp = std::chrono::steady_clock::now() + 120s;
    for (auto& second : seconds) {
        const auto left = giveUp - std::chrono::steady_clock::now();
        EXPECT_EQ(second->Wait(std::chrono::duration_cast<std::chrono::milliseconds>(left)), 42) << second->Errors();
    }
    EXPECT_TRUE(Appears("secondary-" + std::to_string(kStarts) + ".txt"));
    EXPECT_FALSE(first->Wait(0ms)) << "the first instance ended";
    Release(*first);
}

TEST_F(SingleInstance, ABlockFilledWithOtherBytesDoesNotBringTheFirstInstanceDown)
{
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
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
    ASSERT_TRUE(WaitUntil([&] { return (reply = replies.Take()).has_value(); }, kPatience));
    EXPECT_EQ(reply->wParam, 42u);
    EXPECT_EQ(Call(1), UnitsInHex({std::u16string(kArgumentBlockSize / 2, u'\uFFFF')}));

    // A later start finds no listener in it.
    EXPECT_EQ(app.Start({"later"})->Wait(kPatience), kFailed);
    Release(*first);
}

} // namespace
} // namespace tala::test
