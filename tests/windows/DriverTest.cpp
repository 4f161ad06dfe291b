// The driver against a program whose boxes and exit code are known: what the
// launcher tests conclude from the driver is only as good as these checks.
#include "os/windows/UniqueHandle.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tala::test {
namespace {

using namespace std::chrono_literals;

// The test programs are built into the folder of this one.
std::wstring ProgramBeside(const wchar_t* name)
{
    std::wstring self(MAX_PATH, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    self.resize(length);
    return (std::filesystem::path(self).parent_path() / name).wstring();
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

std::wstring Boxes(const std::wstring& arguments)
{
    return Quoted(ProgramBeside(L"tala-test-boxes.exe")) + L" " + arguments;
}

// Each icon by the name both the driver and the box program use for it.
class DriverIcon : public testing::TestWithParam<DialogIcon> {};

TEST_P(DriverIcon, ReadsAndAnswersAMessageBox)
{
    const std::string name = DialogIconName(GetParam());
    const Outcome outcome = RunTarget(
        {Boxes(L"3 " + std::wstring(name.begin(), name.end()) + L" - \"Text of the box\""), L"",
         20s},
        ClickOnEvery(IDOK));

    ASSERT_TRUE(outcome.started) << outcome.startError;
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, 3u);
    ASSERT_EQ(outcome.dialogs.size(), 1u);
    const Dialog& box = outcome.dialogs.front();
    EXPECT_EQ(box.icon, GetParam());
    EXPECT_EQ(box.caption, L"Error");
    const DialogControl* text = box.Control(0xFFFF);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, L"Text of the box");
    EXPECT_EQ(box.clickedButton, IDOK);
}

INSTANTIATE_TEST_SUITE_P(SystemIcons, DriverIcon,
                         testing::Values(DialogIcon::Error, DialogIcon::Warning,
                                         DialogIcon::Information, DialogIcon::Question,
                                         DialogIcon::None),
                         [](const testing::TestParamInfo<DialogIcon>& icon) {
                             return std::string(DialogIconName(icon.param));
                         });

TEST(Driver, ReturnsAll32BitsOfTheExitCode)
{
    const std::pair<const wchar_t*, std::uint32_t> cases[] = {
        {L"0", 0},
        {L"-1", 0xFFFFFFFFu},
        {L"0x80000000", 0x80000000u},
        {L"259", 259}, // the value GetExitCodeProcess also gives for a running process
    };
    for (const auto& [argument, expected] : cases) {
        const Outcome outcome = RunTarget({Boxes(argument), L"", 20s}, nullptr);
        ASSERT_TRUE(outcome.started) << outcome.startError;
        EXPECT_FALSE(outcome.timedOut);
        EXPECT_EQ(outcome.exitCode, expected);
        EXPECT_TRUE(outcome.dialogs.empty());
    }
}

TEST(Driver, RecordsDialogsInTheOrderTheyAppear)
{
    const Outcome outcome = RunTarget(
        {Boxes(L"7 warning Shop \"first\\nline\" error - second"), L"", 20s}, ClickOnEvery(IDOK));

    ASSERT_TRUE(outcome.started) << outcome.startError;
    EXPECT_EQ(outcome.exitCode, 7u);
    ASSERT_EQ(outcome.dialogs.size(), 2u);
    EXPECT_EQ(outcome.dialogs[0].sequence, 1);
    EXPECT_EQ(outcome.dialogs[0].caption, L"Shop");
    EXPECT_EQ(outcome.dialogs[0].icon, DialogIcon::Warning);
    ASSERT_NE(outcome.dialogs[0].Control(0xFFFF), nullptr);
    EXPECT_EQ(outcome.dialogs[0].Control(0xFFFF)->text, L"first\nline");
    EXPECT_EQ(outcome.dialogs[1].sequence, 2);
    EXPECT_EQ(outcome.dialogs[1].caption, L"Error");
    EXPECT_EQ(outcome.dialogs[1].icon, DialogIcon::Error);
    ASSERT_NE(outcome.dialogs[1].Control(0xFFFF), nullptr);
    EXPECT_EQ(outcome.dialogs[1].Control(0xFFFF)->text, L"second");
    EXPECT_EQ(outcome.dialogs[0].clickedButton, IDOK);
    EXPECT_EQ(outcome.dialogs[1].clickedButton, IDOK);
}

TEST(Driver, KillsAProgramThatOutlivesItsTimeOut)
{
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome =
        RunTarget({Boxes(L"0 error - \"never answered\""), L"", 1500ms}, nullptr);
    const auto took = std::chrono::steady_clock::now() - start;

    ASSERT_TRUE(outcome.started) << outcome.startError;
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, kTimedOutExitCode);
    ASSERT_EQ(outcome.dialogs.size(), 1u);
    EXPECT_EQ(outcome.dialogs[0].clickedButton, std::nullopt);
    EXPECT_LT(took, 8s);
}

TEST(Driver, ReportsAProgramThatCannotStart)
{
    const Outcome outcome = RunTarget({Quoted(ProgramBeside(L"absent.exe")), L"", 5s}, nullptr);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.startError, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

// The command-line driver, its records captured through a file: the file is
// complete once the driver has ended, so no read can block.
struct CliRun {
    std::uint32_t exitCode = 0;
    std::vector<std::string> records;
};

CliRun RunDriverCli(const std::wstring& arguments)
{
    CliRun run;
    const std::filesystem::path recordFile =
        std::filesystem::temp_directory_path() /
        ("tala-driver-" + std::to_string(::GetCurrentProcessId()) + ".txt");
    {
        SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
        const os::UniqueHandle output(os::ValidOrNull(
            ::CreateFileW(recordFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr)));
        if (!output) {
            ADD_FAILURE() << "cannot create " << recordFile;
            return run;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
        startup.hStdError = output.get();
        PROCESS_INFORMATION started{};
        std::wstring commandLine = Quoted(ProgramBeside(L"tala-driver.exe")) + L" " + arguments;
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                              nullptr, &startup, &started)) {
            ADD_FAILURE() << "cannot start the driver: " << ::GetLastError();
            return run;
        }
        const os::UniqueHandle process(started.hProcess);
        const os::UniqueHandle thread(started.hThread);
        if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.get(), 1);
            ADD_FAILURE() << "the driver did not end";
        }
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process.get(), &exitCode);
        run.exitCode = exitCode;
    }
    std::ifstream in(recordFile, std::ios::binary);
    for (std::string line; std::getline(in, line);) run.records.push_back(line);
    in.close();
    std::filesystem::remove(recordFile);
    return run;
}

struct CliCase {
    const char* rule;
    std::wstring arguments;
    std::uint32_t exitCode;
    std::vector<std::string> records; // in this order, among others; the last one last
};

TEST(DriverCli, PrintsOneRecordPerLineAndExitsWithTheProgramsCode)
{
    const std::wstring boxes = Quoted(ProgramBeside(L"tala-test-boxes.exe"));
    const CliCase cases[] = {
        {"an answered box",
         L"--click=1 -- " + boxes + L" 7 error - \"Hello\\n\\\"world\\\"\"",
         7,
         {"dialog 1 error \"Error\"", "control 1 65535 Static \"Hello\\n\\\"world\\\"\"",
          "click 1 1", "exit 7 0x00000007"}},
        {"all 32 bits of the code",
         L"-- " + boxes + L" -1",
         0xFFFFFFFFu,
         {"exit 4294967295 0xFFFFFFFF"}},
        {"a box left open until the time-out",
         L"--timeout=1000 -- " + boxes + L" 0 information Shop wait",
         kTimedOutExitCode,
         {"dialog 1 information \"Shop\"", "timeout", "exit 124 0x0000007C"}},
        {"a working folder given in quotes",
         L"--click=1 \"--folder=C:\\Program Files\" -- " + boxes + L" 0 none - {folder}",
         0,
         {"control 1 65535 Static \"C:\\\\Program Files\"", "click 1 1", "exit 0 0x00000000"}},
        {"a program that does not exist",
         L"-- \"" + ProgramBeside(L"absent.exe") + L"\"",
         127,
         {"failed 2"}},
        {"an unknown option",
         L"--bogus -- " + boxes + L" 0",
         125,
         {"usage: tala-driver.exe [--timeout=MS] [--folder=PATH] [--click=ID]... -- COMMAND LINE"}},
    };
    for (const CliCase& c : cases) {
        const CliRun run = RunDriverCli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.rule;
        std::ostringstream printed;
        for (const std::string& record : run.records) printed << "\n  " << record;
        auto next = run.records.begin();
        for (const std::string& expected : c.records) {
            next = std::find(next, run.records.end(), expected);
            EXPECT_NE(next, run.records.end())
                << c.rule << ": no record " << expected << " in order among" << printed.str();
        }
        ASSERT_FALSE(run.records.empty()) << c.rule;
        EXPECT_EQ(run.records.back(), c.records.back()) << c.rule;
    }
}

} // namespace
} // namespace tala::test
