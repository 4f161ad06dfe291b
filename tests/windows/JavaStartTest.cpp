// tala.exe starting a Java application, as a product ships it: renamed
// Shop.exe, its settings in Shop.ini, a runtime folder jre beside it named by
// "JRE Path". No Windows JVM can be had here, so jre\bin\server\jvm.dll is
// the stand-in VM library, which records what the launcher gave it (options,
// environment, the Java thread's stack, main's arguments, the calls in
// order) and plays what the test asks of it (main returns, throws, calls
// System.exit; creation fails; the main class or main is missing).
//
// The test is given the launcher to copy: --launcher=PATH (see
// LauncherUnderTest.h).
#include "tests/shared/CaseName.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/MessageTexts.h"
#include "tests/windows/StandInRecord.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint32_t kFailed = 0xFFFFFFFF; // -1
constexpr std::int64_t kMiB = 1024 * 1024;

// The settings a test varies; the rest is fixed: main class shop.App, the
// runtime folder jre beside the executable.
struct Settings {
    std::u16string classPath = u"\\lib\\app.jar;C:\\shop\\missing.jar";
    std::u16string vmParameters;
    std::u16string libraryPath;
    std::u16string systemPath;
    std::u16string cmd;
    std::u16string vmProvider;
};

// A format text of the string table with its "%s" and "%d" filled in order.
std::wstring Message(int id, const std::vector<std::wstring>& arguments)
{
    const std::wstring_view format = MessageTextOf(id);
    std::wstring text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool placeholder = format[i] == L'%' && i + 1 < format.size() &&
                                 (format[i + 1] == L's' || format[i + 1] == L'd');
        if (!placeholder) {
            text += format[i];
            continue;
        }
        if (next < arguments.size()) text += arguments[next];
        ++next;
        ++i;
    }
    return text;
}

std::wstring DetailText(int id)
{
    return std::wstring(MessageTextOf(id));
}

std::u16string U16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring Variable(const wchar_t* name)
{
    std::wstring value(32767, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// The bytes the launcher should hand the VM for a text: the ANSI code page,
// as the record shows them (one unit per byte).
std::u16string AnsiUnits(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    std::u16string units;
    for (const char byte : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(byte));
    return units;
}

// An application folder: Shop.exe, Shop.ini, jre\bin\server\jvm.dll (a
// stand-in variant, or another file), lib\app.jar, and a per-user settings
// root of its own, so no "JRE Path" remembered elsewhere interferes.
class Shop {
public:
    explicit Shop(const wchar_t* variant = kStandInVm)
        : userSettings_(UserSettingsRootVariable(), folder_.Child("user"))
    {
        fs::copy_file(LauncherPath(), Exe());
        fs::create_directories(folder_.Path() / "lib");
        WriteBytes(folder_.Path() / "lib" / "app.jar", "");
        if (variant != nullptr) {
            InstallStandIn(variant, VmLibrary());
        } else {
            fs::create_directories(VmLibrary().parent_path());
            WriteBytes(VmLibrary(), "not a library\r\n");
        }
    }

    fs::path Folder() const { return folder_.Path(); }
    fs::path Exe() const { return folder_.Path() / "Shop.exe"; }
    fs::path Home() const { return folder_.Path() / "jre"; }
    fs::path VmLibrary() const { return Home() / "bin" / "server" / "jvm.dll"; }

    void Write(const Settings& settings) const
    {
        // UTF-16 with a byte-order mark: the private-profile API then reads
        // any character; its UTF-8 reading would depend on the code page.
        WriteBytes(folder_.Path() / "Shop.ini",
                   Utf16LeWithBom(u"[Java Runtime Environment]\r\n"
                                  u"Main Class=shop.App\r\n"
                                  u"JRE Path=" + Home().u16string() + u"\r\n"
                                  u"Virtual Machine Parameters=" + settings.vmParameters + u"\r\n"
                                  u"Library Path=" + settings.libraryPath + u"\r\n"
                                  u"System Path=" + settings.systemPath + u"\r\n"
                                  u"VM Provider=" + settings.vmProvider + u"\r\n"
                                  u"[Class Path]\r\n"
                                  u"Class Path=" + settings.classPath + u"\r\n"
                                  u"[Application]\r\n"
                                  u"Cmd=" + settings.cmd + u"\r\n"));
    }

    void Play(const std::string& scenario) const { WriteScenario(VmLibrary(), scenario); }

    // Starts Shop.exe with these words behind its path, clicks OK on every box.
    // A start takes well under a second; the time-out only catches a hang.
    Outcome Start(const std::wstring& arguments = L"", std::chrono::milliseconds timeout = 15s) const
    {
        std::wstring commandLine = L"\"" + Exe().wstring() + L"\"";
        if (!arguments.empty()) commandLine += L" " + arguments;
        return RunTarget({commandLine, folder_.Path().wstring(), timeout}, ClickOnEvery(IDOK));
    }

    StandInRecord Record() const { return StandInRecord::Beside(VmLibrary()); }

private:
    TempFolder folder_;
    ScopedEnvironmentVariable userSettings_;
};

// What the driver saw and what the stand-in recorded, for failure messages.
std::string Seen(const Outcome& outcome, const StandInRecord& record)
{
    std::string seen = "\ndriver:";
    for (const std::string& line : FormatRecords(outcome)) seen += "\n  " + line;
    seen += "\nstand-in record:\n" + record.Text();
    return seen;
}

// A start that must end on its own, without a time-out, and without the
// stand-in catching a broken JNI rule.
void ExpectCleanEnd(const Outcome& outcome, const StandInRecord& record, std::uint32_t exitCode)
{
    ASSERT_TRUE(outcome.started) << "error " << outcome.startError;
    EXPECT_FALSE(outcome.timedOut) << Seen(outcome, record);
    EXPECT_EQ(outcome.exitCode, exitCode) << Seen(outcome, record);
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << Seen(outcome, record);
}

// --- failures the user is told of -----------------------------------------

struct FailureCase {
    std::string name;
    const wchar_t* variant; // none: a file that is no library
    std::string scenario;
    // The text of the one message box; none: no box.
    std::function<std::optional<std::wstring>(const Shop&)> message;
    std::uint32_t exitCode = kFailed;
    std::vector<std::string> calls; // the stand-in's calls of interest, in order
    std::vector<std::u16string> described = {}; // the exceptions described, in order
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

std::vector<FailureCase> FailureCases()
{
    const auto createFailed = [](std::optional<int> reason) {
        return [reason](const Shop&) -> std::optional<std::wstring> {
            return Message(203, {DetailText(213), reason ? DetailText(*reason) : L""});
        };
    };
    const std::vector<std::string> creation = {"JNI_GetDefaultJavaVMInitArgs", "JNI_CreateJavaVM"};
    // The Java thread ends still attached; Finish destroys the VM (the
    // thread may detach before it ends).
    const std::vector<std::string> mainNotReached = {"JNI_GetDefaultJavaVMInitArgs", "JNI_CreateJavaVM",
                                                     "DestroyJavaVM"};
    std::vector<FailureCase> cases = {
        {"VM library not loadable",
         nullptr,
         "",
         [](const Shop& shop) -> std::optional<std::wstring> {
             return Message(222, {shop.VmLibrary().wstring(), std::to_wstring(ERROR_BAD_EXE_FORMAT)});
         },
         kFailed,
         {}},
        {"no JNI_CreateJavaVM export",
         kStandInVmWithoutCreate,
         "",
         [](const Shop&) -> std::optional<std::wstring> {
             return Message(202, {DetailText(212), std::to_wstring(ERROR_PROC_NOT_FOUND)});
         },
         kFailed,
         {}},
        {"no JNI_GetDefaultJavaVMInitArgs export",
         kStandInVmWithoutDefaultArgs,
         "",
         [](const Shop&) -> std::optional<std::wstring> {
             return Message(202, {DetailText(212), std::to_wstring(ERROR_PROC_NOT_FOUND)});
         },
         kFailed,
         {}},
        {"creation fails with -1", kStandInVm, "create-result=-1\n", createFailed(225), kFailed, creation},
        {"creation fails with -2", kStandInVm, "create-result=-2\n", createFailed(226), kFailed, creation},
        {"creation fails with -3", kStandInVm, "create-result=-3\n", createFailed(227), kFailed, creation},
        {"creation fails with -4", kStandInVm, "create-result=-4\n", createFailed(228), kFailed, creation},
        {"creation fails with -5", kStandInVm, "create-result=-5\n", createFailed(229), kFailed, creation},
        {"creation fails with -6", kStandInVm, "create-result=-6\n", createFailed(230), kFailed, creation},
        {"creation fails with -99", kStandInVm, "create-result=-99\n", createFailed(std::nullopt), kFailed,
         creation},
        {"main class missing",
         kStandInVm,
         "main-class=shop/Other\n",
         [](const Shop&) -> std::optional<std::wstring> { return Message(215, {L"shop/App"}); },
         kFailed,
         mainNotReached,
         {u"java/lang/NoClassDefFoundError"}},
        {"main class missing, runtime without LauncherHelper",
         kStandInVm,
         "main-class=shop/Other\nlauncher-helper=absent\n",
         [](const Shop&) -> std::optional<std::wstring> { return Message(215, {L"shop/App"}); },
         kFailed,
         mainNotReached,
         {u"java/lang/NoClassDefFoundError"}},
        {"main class missing, library without JVM_FindClassFromBootLoader",
         kStandInVmWithoutBootLoader,
         "main-class=shop/Other\n",
         [](const Shop&) -> std::optional<std::wstring> { return Message(215, {L"shop/App"}); },
         kFailed,
         mainNotReached,
         {u"java/lang/NoClassDefFoundError"}},
        {"no main method",
         kStandInVm,
         "main-class=shop/App\nmain=absent\n",
         [](const Shop&) -> std::optional<std::wstring> { return Message(216, {}); },
         kFailed,
         mainNotReached},
        {"no main method, exception pending",
         kStandInVm,
         "main-class=shop/App\nmain=absent-with-exception\n",
         [](const Shop&) -> std::optional<std::wstring> { return std::nullopt; },
         kFailed,
         mainNotReached,
         {u"java/lang/NoSuchMethodError"}},
    };
    return cases;
}

class JavaStartFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(JavaStartFailure, ShowsItsMessageAndEndsWithMinusOne)
{
    const FailureCase& failure = GetParam();
    ASSERT_FALSE(LauncherPath().empty()) << "no --launcher=PATH given";
    const Shop shop(failure.variant);
    shop.Write({});
    shop.Play(failure.scenario);

    const Outcome outcome = shop.Start();
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, failure.exitCode);

    const std::optional<std::wstring> expected = failure.message(shop);
    if (!expected) {
        EXPECT_TRUE(outcome.dialogs.empty()) << Seen(outcome, record);
    } else {
        ASSERT_EQ(outcome.dialogs.size(), 1u) << Seen(outcome, record);
        const Dialog& box = outcome.dialogs.front();
        EXPECT_EQ(box.icon, DialogIcon::Error);
        const DialogControl* text = box.Control(0xFFFF);
        ASSERT_NE(text, nullptr) << "not a message box:" << Seen(outcome, record);
        EXPECT_EQ(text->text, *expected) << Seen(outcome, record);
    }

    // Detaching before the thread ends is the implementer's choice.
    std::vector<std::string> calls = record.Calls();
    std::erase(calls, "DetachCurrentThread");
    EXPECT_EQ(calls, failure.calls) << Seen(outcome, record);
    EXPECT_EQ(record.Firsts("exception-describe"), failure.described) << Seen(outcome, record);
    if (record.ThreadOf("DestroyJavaVM") >= 0) {
        EXPECT_EQ(record.ThreadOf("DestroyJavaVM"), 0) << "Finish, on the main thread, destroys the VM"
                                                       << Seen(outcome, record);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JavaStartFailure, testing::ValuesIn(FailureCases()),
                         CaseName<FailureCase>);

// --- how the application ends ---------------------------------------------

struct EndingCase {
    std::string name;
    const wchar_t* variant;
    std::string scenario;
    std::uint32_t exitCode;
    std::vector<std::string> calls;
};

void PrintTo(const EndingCase& ending, std::ostream* out)
{
    *out << ending.name;
}

const std::vector<std::string> kWholeRoad = {"JNI_GetDefaultJavaVMInitArgs", "JNI_CreateJavaVM", "main",
                                             "DetachCurrentThread", "DestroyJavaVM"};
const std::vector<std::string> kEndedInMain = {"JNI_GetDefaultJavaVMInitArgs", "JNI_CreateJavaVM", "main"};

class JavaStartEnding : public testing::TestWithParam<EndingCase> {};

TEST_P(JavaStartEnding, EndsWithTheApplicationsExitCode)
{
    const EndingCase& ending = GetParam();
    const Shop shop(ending.variant);
    shop.Write({});
    shop.Play("main-class=shop/App\n" + ending.scenario);

    const Outcome outcome = shop.Start();
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, ending.exitCode);
    EXPECT_TRUE(outcome.dialogs.empty()) << Seen(outcome, record);
    EXPECT_EQ(record.Calls(), ending.calls) << Seen(outcome, record);

    // The VM lives on a thread of its own, which runs main and ends it.
    const int javaThread = record.ThreadOf("JNI_CreateJavaVM");
    EXPECT_NE(javaThread, record.ThreadOf("JNI_GetDefaultJavaVMInitArgs")) << Seen(outcome, record);
    EXPECT_EQ(record.ThreadOf("main"), javaThread) << Seen(outcome, record);
    if (ending.calls == kWholeRoad) {
        EXPECT_EQ(record.ThreadOf("DetachCurrentThread"), javaThread) << Seen(outcome, record);
        EXPECT_EQ(record.ThreadOf("DestroyJavaVM"), javaThread) << Seen(outcome, record);
    }
}

std::vector<EndingCase> EndingCases()
{
    return {
        {"main returns", kStandInVm, "main=return\n", 0, kWholeRoad},
        {"main throws, no failure check", kStandInVm, "main=throw\n", 0, kWholeRoad},
        {"System.exit 7", kStandInVm, "main=exit\nexit-status=7\n", 7, kEndedInMain},
        {"System.exit 0", kStandInVm, "main=exit\nexit-status=0\n", 0, kEndedInMain},
        {"System.exit -2", kStandInVm, "main=exit\nexit-status=-2\n", 0xFFFFFFFE, kEndedInMain},
        {"runtime without LauncherHelper", kStandInVm, "launcher-helper=absent\n", 0, kWholeRoad},
        {"library without JVM_FindClassFromBootLoader", kStandInVmWithoutBootLoader, "", 0, kWholeRoad},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, JavaStartEnding, testing::ValuesIn(EndingCases()),
                         CaseName<EndingCase>);

TEST(JavaStart, SystemExitGoesThroughTheExitHookTheLauncherGave)
{
    const Shop shop;
    shop.Write({});
    shop.Play("main-class=shop/App\nmain=exit\nexit-status=7\n");
    const Outcome outcome = shop.Start();
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, 7);
    EXPECT_EQ(record.Number("exit-hook"), 7) << Seen(outcome, record);
}

// A "VM Provider" that admits IBM runtimes leaves the end to the
// application: after main the Java thread never returns, so the launcher runs
// on until the application calls System.exit (here: until the driver ends it).
TEST(JavaStart, WithIbmRuntimesAllowedTheLauncherStaysAfterMain)
{
    struct Case {
        std::u16string provider;
        bool staysAfterMain;
    };
    const Case cases[] = {{u"any", true}, {u"FAVOR_IBM", true}, {u"jrockit", false}};
    for (const Case& c : cases) {
        const Shop shop;
        Settings settings;
        settings.vmProvider = c.provider;
        shop.Write(settings);
        shop.Play("main-class=shop/App\n");
        const Outcome outcome = shop.Start(L"", c.staysAfterMain ? 3s : 15s);
        const StandInRecord record = shop.Record();
        const std::string provider(c.provider.begin(), c.provider.end());
        EXPECT_EQ(outcome.timedOut, c.staysAfterMain) << provider << Seen(outcome, record);
        EXPECT_EQ(record.Calls(), c.staysAfterMain ? kEndedInMain : kWholeRoad) << provider << Seen(outcome, record);
        EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << provider << Seen(outcome, record);
    }
}

// The main class is found through the runtime's launcher helper, with dots,
// when the runtime has it; through FindClass, with slashes, otherwise.
TEST(JavaStart, FindsTheMainClassThroughLauncherHelperFirst)
{
    struct Case {
        const wchar_t* variant;
        std::string scenario;
        std::vector<std::u16string> bootLoaderLookups;
        std::vector<std::u16string> checkAndLoadMain;
        bool findClassOfMain;
    };
    const Case cases[] = {
        {kStandInVm, "", {u"sun/launcher/LauncherHelper"}, {u"shop.App"}, false},
        {kStandInVm, "launcher-helper=absent\n", {u"sun/launcher/LauncherHelper"}, {}, true},
        {kStandInVmWithoutBootLoader, "", {}, {}, true},
    };
    for (const Case& c : cases) {
        const Shop shop(c.variant);
        shop.Write({});
        shop.Play("main-class=shop/App\n" + c.scenario);
        const Outcome outcome = shop.Start();
        const StandInRecord record = shop.Record();
        ExpectCleanEnd(outcome, record, 0);
        EXPECT_EQ(record.Firsts("boot-loader-class"), c.bootLoaderLookups) << Seen(outcome, record);
        EXPECT_EQ(record.Firsts("check-and-load-main"), c.checkAndLoadMain) << Seen(outcome, record);
        const std::vector<std::u16string> found = record.Firsts("find-class");
        EXPECT_EQ(std::count(found.begin(), found.end(), u"shop/App"), c.findClassOfMain ? 1 : 0)
            << Seen(outcome, record);
    }
}

// --- what the VM is given -------------------------------------------------

struct OptionCase {
    std::string name;
    std::u16string vmParameters;
    std::u16string libraryPath;
    // The options expected before "abort" and "exit", given the folder.
    std::function<std::vector<std::u16string>(const Shop&)> options;
};

void PrintTo(const OptionCase& option, std::ostream* out)
{
    *out << option.name;
}

std::u16string ClassPathOf(const Shop& shop)
{
    return u"-Djava.class.path=" + (shop.Folder() / "lib" / "app.jar").u16string() + u";C:\\shop\\missing.jar;";
}

// What the JDK's monitoring tools show for the process: the main class (and
// the arguments, none here).
constexpr char16_t kJavaCommand[] = u"-Dsun.java.command=shop.App";

std::vector<OptionCase> OptionCases()
{
    return {
        {"class path alone",
         u"",
         u"",
         [](const Shop& shop) { return std::vector<std::u16string>{ClassPathOf(shop), kJavaCommand}; }},
        {"parameters in order, quotes removed, repeats kept, variables expanded",
         u"  -Xmx512m   \"-Dgreeting=hello world\" -Dhome=%TALA_JVM_HOME% -Dsame=1 -Dsame=1  ",
         u"",
         [](const Shop& shop) {
             return std::vector<std::u16string>{ClassPathOf(shop), u"-Xmx512m", u"-Dgreeting=hello world",
                                                u"-Dhome=" + shop.Home().u16string(), u"-Dsame=1", u"-Dsame=1",
                                                kJavaCommand};
         }},
        {"library path first",
         u"-Dlast=1",
         u"C:\\native",
         [](const Shop& shop) {
             const std::u16string libraryPath = u"-Djava.library.path=C:\\native;" +
                                                shop.Folder().u16string() + u"\\;.;" + U16(Variable(L"Path")) +
                                                u";" + (shop.Home() / "lib").u16string();
             return std::vector<std::u16string>{libraryPath, ClassPathOf(shop), u"-Dlast=1", kJavaCommand};
         }},
        {"parameter in the ANSI code page",
         u"-Duser=Gr\u00FC\u00DFe",
         u"",
         [](const Shop& shop) {
             return std::vector<std::u16string>{ClassPathOf(shop), AnsiUnits(L"-Duser=Gr\u00FC\u00DFe"), kJavaCommand};
         }},
        {"the settings' own name for monitoring tools is kept",
         u"-Dsun.java.command=Shop",
         u"",
         [](const Shop& shop) { return std::vector<std::u16string>{ClassPathOf(shop), u"-Dsun.java.command=Shop"}; }},
    };
}

class JavaStartOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(JavaStartOptions, ReachTheVmInOrderFollowedByTheHooks)
{
    const OptionCase& option = GetParam();
    const Shop shop;
    Settings settings;
    settings.vmParameters = option.vmParameters;
    settings.libraryPath = option.libraryPath;
    shop.Write(settings);
    shop.Play("main-class=shop/App\n");
    const Outcome outcome = shop.Start();
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, 0);

    std::vector<std::pair<std::u16string, bool>> expected;
    for (const std::u16string& text : option.options(shop)) expected.emplace_back(text, false);
    expected.emplace_back(u"abort", true);
    expected.emplace_back(u"exit", true);
    EXPECT_EQ(record.Options(), expected) << Seen(outcome, record);
    EXPECT_EQ(record.Number("version"), 0x10002) << "JNI 1.2" << Seen(outcome, record);
    EXPECT_EQ(record.Number("ignore-unrecognized"), 0) << Seen(outcome, record);
}

INSTANTIATE_TEST_SUITE_P(Cases, JavaStartOptions, testing::ValuesIn(OptionCases()),
                         CaseName<OptionCase>);

TEST(JavaStart, EnvironmentNamesTheRuntimeAndPathEndsWithItsBinFolder)
{
    struct Case {
        std::u16string systemPath;
        std::u16string pathStart;
    };
    const Case cases[] = {{u"", u""}, {u"C:\\tools", u"C:\\tools;"}, {u"C:\\tools;", u"C:\\tools;"}};
    const std::u16string oldPath = U16(Variable(L"Path"));
    for (const Case& c : cases) {
        const Shop shop;
        Settings settings;
        settings.systemPath = c.systemPath;
        shop.Write(settings);
        shop.Play("main-class=shop/App\n");
        const Outcome outcome = shop.Start();
        const StandInRecord record = shop.Record();
        ExpectCleanEnd(outcome, record, 0);
        EXPECT_EQ(record.Environment(u"TALA_JVM_PATH"), shop.VmLibrary().u16string()) << Seen(outcome, record);
        EXPECT_EQ(record.Environment(u"TALA_JVM_HOME"), shop.Home().u16string()) << Seen(outcome, record);
        EXPECT_EQ(record.Environment(u"Path"), c.pathStart + oldPath + u";" + (shop.Home() / "bin").u16string())
            << Seen(outcome, record);
    }
}

// The Java thread gets the stack size of the last "-Xss", else the VM's
// default Java stack size. The system rounds a reservation up (and Wine
// gives at least 1 MiB), so each case names a range.
TEST(JavaStart, JavaThreadStackFollowsXssElseTheVmsDefault)
{
    struct Case {
        std::u16string vmParameters;
        std::int64_t defaultStack;
        std::int64_t atLeast;
        std::int64_t below;
    };
    const Case cases[] = {
        {u"-Xss4m", 6 * kMiB, 4 * kMiB, 5 * kMiB},
        {u"", 6 * kMiB, 6 * kMiB, 7 * kMiB},
        {u"-Xss8m -Xss4096k", 6 * kMiB, 4 * kMiB, 5 * kMiB},
        {u"-Xss1.5m", 6 * kMiB, 15 * kMiB, 16 * kMiB}, // "." is skipped: 15m
        {u"-Xss512k", 6 * kMiB, 1 * kMiB, 6 * kMiB},
    };
    for (const Case& c : cases) {
        const Shop shop;
        Settings settings;
        settings.vmParameters = c.vmParameters;
        shop.Write(settings);
        shop.Play("main-class=shop/App\ndefault-java-stack-size=" + std::to_string(c.defaultStack) + "\n");
        const Outcome outcome = shop.Start();
        const StandInRecord record = shop.Record();
        ExpectCleanEnd(outcome, record, 0);
        const std::int64_t reserved = record.Number("stack-reserve").value_or(0);
        EXPECT_GE(reserved, c.atLeast) << std::string(c.vmParameters.begin(), c.vmParameters.end())
                                       << Seen(outcome, record);
        EXPECT_LT(reserved, c.below) << std::string(c.vmParameters.begin(), c.vmParameters.end())
                                     << Seen(outcome, record);
    }
}

struct ArgumentCase {
    std::string name;
    std::wstring commandLine; // behind the program's path
    std::u16string cmd;
    std::vector<std::u16string> expected;
};

void PrintTo(const ArgumentCase& argument, std::ostream* out)
{
    *out << argument.name;
}

class JavaStartArguments : public testing::TestWithParam<ArgumentCase> {};

TEST_P(JavaStartArguments, ReachMainExactly)
{
    const ArgumentCase& argument = GetParam();
    const Shop shop;
    Settings settings;
    settings.cmd = argument.cmd;
    shop.Write(settings);
    shop.Play("main-class=shop/App\n");
    const Outcome outcome = shop.Start(argument.commandLine);
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, 0);
    EXPECT_EQ(record.Arguments(), argument.expected) << Seen(outcome, record);
}

std::vector<ArgumentCase> ArgumentCases()
{
    return {
        {"none", L"", u"", {}},
        {"command line words then Cmd words",
         L"one \"two words\" \"\" Gr\u00FC\u00DFe \U0001F600 x\"y -nosplash a\tb",
         u"alpha  beta \"gamma delta\" \"\" \u65E5\u672C",
         {u"one", u"two words", u"", u"Gr\u00FC\u00DFe", u"\U0001F600", u"x\"y", u"-nosplash", u"a\tb", u"alpha",
          u"beta", u"gamma delta", u"\u65E5\u672C"}},
        {"a closing quote ends a word", L"\"a b\"c  d", u"", {u"a b", u"c", u"d"}},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, JavaStartArguments, testing::ValuesIn(ArgumentCases()),
                         CaseName<ArgumentCase>);

TEST(JavaStart, CmdWordsAreExpandedAfterTheRuntimeIsKnown)
{
    const Shop shop;
    Settings settings;
    settings.cmd = u"%TALA_JVM_HOME%";
    shop.Write(settings);
    shop.Play("main-class=shop/App\n");
    const Outcome outcome = shop.Start(L"first");
    const StandInRecord record = shop.Record();
    ExpectCleanEnd(outcome, record, 0);
    EXPECT_EQ(record.Arguments(), (std::vector<std::u16string>{u"first", shop.Home().u16string()}))
        << Seen(outcome, record);
}

} // namespace
} // namespace tala::test
