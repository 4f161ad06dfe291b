// tala.exe on the stand-in VM library: the start cases both builds share, then what only Windows does.
#include "launcher/MessageId.h"
#include "os/Environment.h"
#include "tests/shared/CaseName.h"
#include "tests/shared/StartCases.h"
#include "tests/windows/ShopFolder.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMiB = 1024 * 1024;

// The words as a command line: a word with a blank, or none, in quotes.
std::wstring CommandLineOf(const std::vector<std::string>& words)
{
    std::wstring line;
    for (const std::string& word : words) {
        const std::u16string text = os::FromUtf8(word);
        const std::wstring wide(text.begin(), text.end());
        const bool quoted = wide.empty() || wide.find(L' ') != std::wstring::npos;
        line += (line.empty() ? L"" : L" ") + (quoted ? L"\"" + wide + L"\"" : wide);
    }
    return line;
}

struct Started {
    Outcome outcome;
    StandInRecord record;

    std::string Seen() const { return "\nseen:" + Describe(outcome) + "\nstand-in record:\n" + record.Text(); }
    std::u16string Message() const
    {
        if (outcome.dialogs.size() != 1) return u"";
        for (const DialogControl& text : outcome.dialogs[0].controls) {
            if (text.id == 0xFFFF) return std::u16string(text.text.begin(), text.text.end());
        }
        return u"";
    }
    // "main 1": the calls with the threads that made them.
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (const std::string& call : record.Values("call")) {
            calls.push_back(call.substr(0, call.find(' ', call.find(' ') + 1)));
        }
        return calls;
    }
};

Started Start(const ShopFolder& shop)
{
    return {shop.Run(), shop.Record()}; // in this order
}

class BothBuilds : public testing::TestWithParam<StartCase> {};

TEST_P(BothBuilds, EndAsTheCaseSays)
{
    const StartCase& start = GetParam();
    const ScopedEnvironmentVariable word(u"TALA_TEST_WORD", u"expanded");
    const ShopFolder shop(start.application ? kStandInVm : nullptr);
    if (start.application) {
        shop.Write(os::FromUtf8(start.settings.value_or("")));
    } else if (start.settings) {
        WriteBytes(shop.Folder() / "Shop.ini", *start.settings);
    }
    // A start that finds no runtime asks for one: that is answered with Cancel.
    const Outcome outcome = RunTarget(
        {shop.CommandLine(CommandLineOf(start.arguments)), shop.Folder().wstring(), start.exitCode ? 30s : 3s},
        [](const Dialog& dialog) { return std::optional<int>(dialog.caption == L"JRE Not Found" ? IDCANCEL : IDOK); });
    const Started started{outcome, shop.Record()};

    EXPECT_EQ(outcome.timedOut, !start.exitCode) << started.Seen();
    if (start.exitCode) {
        EXPECT_EQ(outcome.exitCode, static_cast<std::uint32_t>(*start.exitCode)) << started.Seen();
    }
    ASSERT_EQ(outcome.dialogs.size(), start.message || !start.application ? 1u : 0u) << started.Seen();
    if (start.message) {
        EXPECT_EQ(outcome.dialogs[0].caption, L"Error"); // the system's own caption for none given
        EXPECT_TRUE(outcome.dialogs[0].errorIcon) << started.Seen();
        EXPECT_EQ(started.Message(), MessageOf(*start.message)) << started.Seen();
    } else if (!start.application) {
        EXPECT_EQ(outcome.dialogs[0].caption, L"JRE Not Found");
    }
    if (start.mainArguments) {
        EXPECT_EQ(started.record.Arguments(), MainArgumentsFor(start, shop.Home().u16string())) << started.Seen();
    }
    EXPECT_EQ(started.record.Complaints(), std::vector<std::string>{}) << started.Seen();
}

INSTANTIATE_TEST_SUITE_P(Cases, BothBuilds, testing::ValuesIn(StartCases()), CaseName<StartCase>);

// The main class is found through the runtime's launcher helper when it has one, else through FindClass.
TEST(JavaStart, RunsMainOnAThreadOfItsOwnAndEachFailureShowsItsMessage)
{
    const auto detail = [](MessageId id) { return MessageOf(static_cast<int>(id)); };
    const auto createFailed = [&](std::u16string reason) {
        return MessageOf(203, {detail(MessageId::CreateJavaVmFailed), std::move(reason)});
    };
    const auto mainClassMissing = MessageOf(215, {u"shop/App"});
    const std::vector<std::string> creation = {"JNI_GetDefaultJavaVMInitArgs 0", "JNI_CreateJavaVM 1"};
    const std::vector<std::string> wholeRoad = {"JNI_GetDefaultJavaVMInitArgs 0", "JNI_CreateJavaVM 1", "main 1",
                                                "DetachCurrentThread 1", "DestroyJavaVM 1"};
    // The Java thread ends without main; Finish, on the main thread, destroys the VM.
    const std::vector<std::string> mainNotReached = {"JNI_GetDefaultJavaVMInitArgs 0", "JNI_CreateJavaVM 1",
                                                     "DestroyJavaVM 0"};
    const std::vector<std::string> noClass = {"java/lang/NoClassDefFoundError"};
    struct Case {
        const char* rule;
        const wchar_t* standIn;
        std::string scenario;
        std::u16string message; // of the one box; empty: none
        std::vector<std::string> calls; // the whole road: the start ends with 0
        std::vector<std::string> described = {}; // the exceptions described, in order
        std::optional<bool> throughFindClass = std::nullopt; // how main's class was found
    };
    std::vector<Case> cases = {
        {"the launcher helper finds the class", kStandInVm, "", u"", wholeRoad, {}, false},
        {"a runtime without it", kStandInVm, "launcher-helper=absent\n", u"", wholeRoad, {}, true},
        {"a library without JVM_FindClassFromBootLoader", kStandInVmWithoutBootLoader, "", u"", wholeRoad, {}, true},
        {"no JNI_CreateJavaVM export", kStandInVmWithoutCreate, "",
         MessageOf(202, {detail(MessageId::CreateJavaVmNotFound), ERROR_PROC_NOT_FOUND}), {}},
        {"creation fails with -99", kStandInVm, "create-result=-99\n", createFailed(u""), creation},
        {"main class missing", kStandInVm, "main-class=shop/Other\n", mainClassMissing, mainNotReached, noClass},
        {"main class missing, runtime without LauncherHelper", kStandInVm,
         "main-class=shop/Other\nlauncher-helper=absent\n", mainClassMissing, mainNotReached, noClass},
        {"main class missing, library without JVM_FindClassFromBootLoader", kStandInVmWithoutBootLoader,
         "main-class=shop/Other\n", mainClassMissing, mainNotReached, noClass},
        {"no main method", kStandInVm, "main=absent\n", MessageOf(216), mainNotReached},
        {"no main method, exception pending", kStandInVm, "main=absent-with-exception\n", u"", mainNotReached,
         {"java/lang/NoSuchMethodError"}},
    };
    for (int result = -1; result >= -6; --result) {
        cases.push_back({"creation fails", kStandInVm, "create-result=" + std::to_string(result) + "\n",
                         createFailed(MessageOf(static_cast<int>(MessageId::ReasonUnknown) - 1 - result)), creation});
    }
    for (const Case& c : cases) {
        const ShopFolder shop(c.standIn);
        shop.Write();
        shop.Play(c.scenario);
        const Started started = Start(shop);
        const std::string seen = std::string(c.rule) + ": " + c.scenario + started.Seen();
        EXPECT_EQ(started.outcome.exitCode, c.calls == wholeRoad ? 0u : kExitMinusOne) << seen;
        EXPECT_EQ(started.Message(), c.message) << seen;
        EXPECT_EQ(started.outcome.dialogs.size(), c.message.empty() ? 0u : 1u) << seen;
        EXPECT_EQ(started.Calls(), c.calls) << seen;
        EXPECT_EQ(started.record.Values("exception-describe"), c.described) << seen;
        EXPECT_EQ(started.record.Complaints(), std::vector<std::string>{}) << seen;
        if (c.throughFindClass) {
            EXPECT_EQ(started.record.Values("check-and-load-main"),
                      *c.throughFindClass ? std::vector<std::string>{} : std::vector<std::string>{"shop.App"}) << seen;
            const std::vector<std::string> found = started.record.Values("find-class");
            EXPECT_EQ(std::count(found.begin(), found.end(), "shop/App found"), *c.throughFindClass ? 1 : 0) << seen;
        }
    }
    const ShopFolder notALibrary(kNotALibrary);
    notALibrary.Write();
    EXPECT_EQ(Start(notALibrary).Message(),
              MessageOf(222, {notALibrary.VmLibrary().u16string(), ERROR_BAD_EXE_FORMAT}));
}

// The VM also sees its runtime, and Path ends with the runtime's bin folder.
TEST(JavaStart, OptionsReachTheVmInOrderInTheAnsiCodePageFollowedByTheHooksAndOutputFoldersAreMade)
{
    const ShopFolder shop;
    const std::string folder = Ansi(shop.Folder().wstring());
    const std::string classPath = "none -Djava.class.path=" + folder + "\\lib\\app.jar;C:\\shop\\missing.jar;";
    const std::vector<std::string> hooks = {"hook abort", "hook exit"};
    // What the JDK's monitoring tools show: the main class (and arguments), unless the settings name it.
    const std::string javaCommand = "none -Dsun.java.command=shop.App";
    const std::u16string path = os::ReadEnvironmentVariable(u"Path").value_or(u"");
    // Folders of an output file named by date pictures are made before the runtime opens it.
    const std::u16string logs = shop.Folder().u16string() + u"\\logs\\%yyyy-MM-dd%\\out.log";
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    struct Case {
        std::u16string lines;
        std::vector<std::string> options; // before the hooks
        std::u16string pathStart = u"";   // before the system's Path
    };
    const Case cases[] = {
        {u"", {classPath, javaCommand}},
        {u"Virtual Machine Parameters=  -Xmx512m   \"-Dgreeting=hello world\" -Dhome=%TALA_JVM_HOME% -Dsame=1 "
         u"-Dsame=1 -Duser=Gr\u00FC\u00DFe \r\nSystem Path=C:\\tools\r\n[Application]\r\nOutput File=" + logs,
         {classPath, "none -Xmx512m", "none -Dgreeting=hello world", "none -Dhome=" + Ansi(shop.Home().wstring()),
          "none -Dsame=1", "none -Dsame=1", "none " + Ansi(L"-Duser=Gr\u00FC\u00DFe"), javaCommand},
         u"C:\\tools;"},
        {u"Virtual Machine Parameters=-Dlast=1\r\nLibrary Path=C:\\native",
         {"none -Djava.library.path=C:\\native;" + folder + "\\;.;" + os::ToAnsiCodePage(path) + ";" + folder +
              "\\jre\\lib",
          classPath, "none -Dlast=1", javaCommand}},
        {u"Virtual Machine Parameters=-Dsun.java.command=Shop\r\nSystem Path=C:\\tools;",
         {classPath, "none -Dsun.java.command=Shop"}, u"C:\\tools;"},
    };
    for (const Case& c : cases) {
        shop.Write(c.lines);
        fs::remove(shop.VmLibrary().parent_path() / standin::kRecordFileName);
        const Started started = Start(shop);
        EXPECT_EQ(started.outcome.exitCode, 0u) << started.Seen();
        std::vector<std::string> expected = c.options;
        expected.insert(expected.end(), hooks.begin(), hooks.end());
        EXPECT_EQ(started.record.Values("option"), expected) << started.Seen();
        // JNI 1.2, and options the VM does not know are not ignored.
        EXPECT_EQ(started.record.Values("init-args"), std::vector<std::string>{"65538 0"}) << started.Seen();
        EXPECT_EQ(started.record.Environment("TALA_JVM_PATH"), shop.VmLibrary().u16string()) << started.Seen();
        EXPECT_EQ(started.record.Environment("TALA_JVM_HOME"), shop.Home().u16string()) << started.Seen();
        EXPECT_EQ(started.record.Environment("Path"), c.pathStart + path + u";" + (shop.Home() / "bin").u16string())
            << started.Seen();
    }
    wchar_t today[16] = {};
    std::swprintf(today, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    EXPECT_TRUE(fs::is_directory(shop.Folder() / "logs" / today));
}

TEST(JavaStart, AHeapGivenAsAShareOfThePhysicalMemoryIsMadeKilobytesOfIt)
{
    const ShopFolder shop;
    shop.Write(u"Virtual Machine Parameters=-Xmx10P");
    const Started started = Start(shop);
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&memory));
    const std::vector<std::string> options = started.record.Values("option");
    ASSERT_EQ(options.size(), 5u) << started.Seen();
    ASSERT_EQ(options[1].rfind("none -Xmx", 0), 0u) << started.Seen();
    EXPECT_NEAR(std::stod(options[1].substr(9)), static_cast<double>(memory.ullTotalPhys) / 1024 / 10, 1.0);
}

// The system rounds a stack reservation up (Wine to 1 MiB at least), so each case names a range.
TEST(JavaStart, TheJavaThreadsStackFollowsXssElseTheVmsDefault)
{
    struct Case {
        std::u16string parameters;
        std::int64_t atLeast;
        std::int64_t below;
    };
    const Case cases[] = {
        {u"-Xss4m", 4 * kMiB, 5 * kMiB},       {u"", 6 * kMiB, 7 * kMiB},
        {u"-Xss8m -Xss4096k", 4 * kMiB, 5 * kMiB}, {u"-Xss1.5m", 15 * kMiB, 16 * kMiB}, // "." is skipped: 15m
        {u"-Xss512k", 1 * kMiB, 6 * kMiB},
    };
    for (const Case& c : cases) {
        const ShopFolder shop;
        shop.Write(u"Virtual Machine Parameters=" + c.parameters);
        shop.Play("default-java-stack-size=" + std::to_string(6 * kMiB) + "\n");
        const Started started = Start(shop);
        const std::vector<std::string> reserve = started.record.Values("stack-reserve");
        const std::int64_t reserved = reserve.empty() ? 0 : std::stoll(reserve[0]);
        EXPECT_GE(reserved, c.atLeast) << started.Seen();
        EXPECT_LT(reserved, c.below) << started.Seen();
    }
}

TEST(PairProduct, GetsTheLaunchersCommandLineAndOnlyWithPairReturnCodeIsWaitedFor)
{
    const std::pair<std::u16string, std::uint32_t> cases[] = {{u"yes", 42}, {u"No", 0}};
    for (const auto& [pairReturnCode, exitCode] : cases) {
        const ShopFolder shop(nullptr);
        shop.Write(shop.AddPairProduct(pairReturnCode));
        // While "hold" lies beside it, the pair waits before it records.
        const bool waited = exitCode != 0;
        if (!waited) WriteBytes(shop.Folder() / "hold", "");
        const std::wstring arguments = L"one \"two words\" \"\" -nosplash";
        const Outcome outcome = shop.Run(arguments, 30s);
        EXPECT_EQ(outcome.exitCode, exitCode) << Describe(outcome);
        EXPECT_TRUE(outcome.dialogs.empty()) << Describe(outcome);
        EXPECT_EQ(fs::exists(shop.Folder() / "pair-command-line.txt"), waited);
        fs::remove(shop.Folder() / "hold");
        EXPECT_EQ(shop.PairCommandLine(), shop.CommandLine(arguments));
    }
}

} // namespace
} // namespace tala::test
