// A "JRE Path" whose VM library is a 32-bit image hands the start over to the
// "Pair Product", with the launcher's own command line, and waits for its exit
// code only when "Pair Return Code" asks for it.
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/ProgramsBeside.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PairProduct : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::copy_file(LauncherPath(), folder.Path() / "Shop.exe"));
        fs::create_directories(folder.Path() / "jre32" / "bin" / "server");
        fs::copy_file(BesideThisProgram(L"tiny32.dll"), folder.Path() / "jre32" / "bin" / "server" / "jvm.dll");
        fs::copy_file(BesideThisProgram(L"tala-test-pair.exe"), folder.Path() / "Shop32.exe");
    }

    void WriteSettings(const std::string& pairReturnCode)
    {
        WriteBytes(folder.Path() / "Shop.ini",
                   "[Java Runtime Environment]\r\nMain Class=shop.Main\r\nJRE Path=" +
                       (folder.Path() / "jre32").string() + "\r\n[Application]\r\nPair Product=" +
                       (folder.Path() / "Shop32.exe").string() + "\r\nPair Return Code=" +
                       pairReturnCode + "\r\n");
    }

    std::wstring CommandLine() const
    {
        return L"\"" + (folder.Path() / "Shop.exe").wstring() + L"\" one \"two words\" \"\" -nosplash";
    }

    // What the pair program recorded, once it has written it.
    std::wstring RecordedCommandLine(std::chrono::seconds patience) const
    {
        const fs::path record = folder.Path() / "pair-command-line.txt";
        for (auto waited = 0ms; waited < patience && !fs::exists(record); waited += 100ms) {
            std::this_thread::sleep_for(100ms);
        }
        const std::string bytes = ReadBytes(record);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    }

    TempFolder folder;
};

TEST_F(PairProduct, ReturnsThePairsExitCodeWhenAskedTo)
{
    WriteSettings("yes");
    const Outcome outcome = RunTarget({CommandLine(), folder.Path().wstring(), 30s}, ClickOnEvery(IDOK));
    ASSERT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.dialogs.empty());
    EXPECT_EQ(outcome.exitCode, 42u);
    EXPECT_EQ(RecordedCommandLine(1s), CommandLine());
}

TEST_F(PairProduct, EndsAtOnceWithoutPairReturnCode)
{
    WriteSettings("No");
    WriteBytes(folder.Path() / "hold", ""); // the pair waits while this exists
    const Outcome outcome = RunTarget({CommandLine(), folder.Path().wstring(), 30s}, ClickOnEvery(IDOK));
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(fs::exists(folder.Path() / "pair-command-line.txt")) << "the launcher waited";

    fs::remove(folder.Path() / "hold");
    EXPECT_EQ(RecordedCommandLine(20s), CommandLine());
}

} // namespace
} // namespace tala::test
