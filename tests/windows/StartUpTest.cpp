// tala.exe started the way a product ships it -- renamed Shop.exe, its
// settings in Shop.ini beside it -- with each settings file of the start-up
// table both builds share. No Java runtime can be found here, so every start
// ends early: with exactly the message box the table names, or silently, and
// with the table's exit code.
//
// The test is given the launcher to copy: --launcher=PATH, a Windows path or
// the host path of a Linux build tree (Wine shows the host's root as Z:).
#include "tests/shared/CaseName.h"
#include "tests/shared/StartUpCases.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/MessageTexts.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

namespace tala::test {

// Failures name the case instead of dumping its bytes (10 MB for some).
void PrintTo(const StartUpCase& start, std::ostream* out)
{
    *out << start.name;
}

namespace {

using namespace std::chrono_literals;

// What the driver saw, in its record format, for failure messages.
std::string Seen(const Outcome& outcome)
{
    std::string seen;
    for (const std::string& record : FormatRecords(outcome)) seen += "\n  " + record;
    return seen;
}

class StartUp : public testing::TestWithParam<StartUpCase> {};

TEST_P(StartUp, EndsWithTheTablesMessageAndExitCode)
{
    const StartUpCase& start = GetParam();
    const std::filesystem::path launcher = LauncherPath();
    ASSERT_FALSE(launcher.empty()) << "no --launcher=PATH given";

    TempFolder folder;
    const std::filesystem::path shop = folder.Path() / "Shop.exe";
    ASSERT_TRUE(std::filesystem::copy_file(launcher, shop)) << launcher;
    if (start.settingsFile) WriteBytes(folder.Path() / "Shop.ini", *start.settingsFile);

    // A start without a runtime asks for one: that question is answered with Cancel.
    const Outcome outcome = RunTarget({L"\"" + shop.wstring() + L"\"", folder.Path().wstring(), 30s},
                                      [](const Dialog& dialog) -> std::optional<int> {
                                          return dialog.caption == L"JRE Not Found" ? IDCANCEL : IDOK;
                                      });

    ASSERT_TRUE(outcome.started) << "error " << outcome.startError;
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, static_cast<std::uint32_t>(start.exitCode));
    if (start.message) {
        ASSERT_EQ(outcome.dialogs.size(), 1u) << Seen(outcome);
        const Dialog& box = outcome.dialogs.front();
        EXPECT_EQ(box.icon, DialogIcon::Error);
        EXPECT_EQ(box.caption, L"Error"); // the system's own caption for none given
        const DialogControl* text = box.Control(0xFFFF);
        ASSERT_NE(text, nullptr) << "not a message box:" << Seen(outcome);
        const std::wstring_view expected = MessageTextOf(*start.message);
        ASSERT_FALSE(expected.empty()) << "message id " << *start.message << " has no text";
        EXPECT_EQ(text->text, expected);
    } else {
        ASSERT_EQ(outcome.dialogs.size(), 1u) << Seen(outcome);
        EXPECT_EQ(outcome.dialogs.front().caption, L"JRE Not Found");
    }
}

INSTANTIATE_TEST_SUITE_P(SettingsFiles, StartUp, testing::ValuesIn(StartUpCases()), CaseName<StartUpCase>);

} // namespace
} // namespace tala::test
