// A later start handing its arguments to the application's "secondaryMain"
// in a running first instance: two real tala.exe processes under Wine, the
// first one's runtime the stand-in VM library, whose main waits until the
// test lets it return (the file standin-release beside it).
//
// The test is given the launcher to copy: --launcher=PATH.
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/StandInRecord.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <set>
#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint32_t kSecondaryResult = 7;

// Shop.exe with a runtime whose application class shop.App has the given
// "secondaryMain" (void, int or absent) and a main that waits for release.
class WaitingShop {
public:
    explicit WaitingShop(const std::string& secondaryMain)
    {
        fs::copy_file(LauncherPath(), Exe());
        InstallStandIn(kStandInVm, VmLibrary());
        WriteScenario(VmLibrary(), "main-class=shop/App\nmain=wait\nsecondary-main=" + secondaryMain +
                                       "\nsecondary-result=" + std::to_string(kSecondaryResult) + "\n");
        WriteBytes(folder_.Path() / "Shop.ini",
                   "[Java Runtime Environment]\r\nMain Class=shop.App\r\nJRE Path=" +
                       (folder_.Path() / "jre").string() + "\r\n[Application]\r\nSingle Instance=yes\r\n");
    }

    ~WaitingShop() { Release(); }

    std::future<Outcome> Start(const std::wstring& arguments) const
    {
        const Target target{L"\"" + Exe().wstring() + L"\" " + arguments, folder_.Path().wstring(), 60s};
        return std::async(std::launch::async, [target] { return RunTarget(target, ClickOnEvery(IDOK)); });
    }

    // Waits until the first instance's main runs, which is when later
    // starts are answered.
    bool WaitForMain() const
    {
        for (auto waited = 0ms; waited < 30s; waited += 50ms) {
            if (!Record().ArgumentsOfCalls("main").empty()) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    void Release() const { WriteBytes(VmLibrary().parent_path() / standin::kReleaseFileName, ""); }

    StandInRecord Record() const { return StandInRecord::Beside(VmLibrary()); }

private:
    fs::path Exe() const { return folder_.Path() / "Shop.exe"; }
    fs::path VmLibrary() const { return folder_.Path() / "jre" / "bin" / "server" / "jvm.dll"; }

    TempFolder folder_;
    ScopedEnvironmentVariable userSettings_{UserSettingsRootVariable(), folder_.Child("user")};
};

std::optional<Outcome> Ended(std::future<Outcome>& run, std::chrono::seconds within)
{
    if (run.wait_for(within) != std::future_status::ready) return std::nullopt;
    return run.get();
}

TEST(HandOff, ALaterStartsArgumentsReachSecondaryMainAndItsResultIsTheExitCode)
{
    ASSERT_FALSE(LauncherPath().empty()) << "no --launcher=PATH given";
    struct Case {
        const char* secondaryMain;
        bool endsBeforeRelease;   // the later start is answered while main still runs
        std::uint32_t exitCode;   // of the later start
        bool called;              // secondaryMain received the arguments
    };
    const Case cases[] = {
        {"int", true, kSecondaryResult, true},
        {"void", true, 0, true},
        // Without secondaryMain the later start ends with the first
        // instance, and with its exit code.
        {"absent", false, 0, false},
    };
    const std::vector<std::u16string> handedOver{u"one", u"two words", u"Gr\u00fc\u00dfe \u65e5\u672c"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.secondaryMain);
        const WaitingShop shop(c.secondaryMain);
        std::future<Outcome> first = shop.Start(L"first");
        ASSERT_TRUE(shop.WaitForMain()) << shop.Record().Text();

        std::future<Outcome> later = shop.Start(L"one \"two words\" \"Gr\u00fc\u00dfe \u65e5\u672c\"");
        std::optional<Outcome> laterEnd = Ended(later, c.endsBeforeRelease ? 30s : 3s);
        EXPECT_EQ(laterEnd.has_value(), c.endsBeforeRelease) << shop.Record().Text();

        shop.Release();
        const std::optional<Outcome> firstEnd = Ended(first, 30s);
        ASSERT_TRUE(firstEnd) << "the first instance did not end";
        EXPECT_EQ(firstEnd->exitCode, 0u) << "the first instance ends normally\n" << shop.Record().Text();
        if (!laterEnd) laterEnd = Ended(later, 30s);
        ASSERT_TRUE(laterEnd) << "the later start did not end";
        EXPECT_FALSE(laterEnd->timedOut);
        EXPECT_EQ(laterEnd->exitCode, c.exitCode) << shop.Record().Text();
        EXPECT_TRUE(laterEnd->dialogs.empty()) << "a later start shows nothing";

        const StandInRecord record = shop.Record();
        const auto secondaryCalls = record.ArgumentsOfCalls("secondaryMain");
        if (c.called) {
            EXPECT_EQ(secondaryCalls, std::vector<std::vector<std::u16string>>{handedOver}) << record.Text();
        } else {
            EXPECT_TRUE(secondaryCalls.empty()) << record.Text();
        }
        EXPECT_EQ(record.ArgumentsOfCalls("main"), std::vector<std::vector<std::u16string>>{{u"first"}})
            << "the later start runs no main of its own\n" << record.Text();
        EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    }
}

// Later starts at the same moment take turns at the block's one argument
// slot: each start's arguments reach secondaryMain once.
TEST(HandOff, FiftyLaterStartsAtOnceEachDeliverTheirOwnArgumentsOnce)
{
    ASSERT_FALSE(LauncherPath().empty()) << "no --launcher=PATH given";
    constexpr int kStarts = 50;
    const WaitingShop shop("int");
    std::future<Outcome> first = shop.Start(L"first");
    ASSERT_TRUE(shop.WaitForMain()) << shop.Record().Text();
    std::vector<std::future<Outcome>> later;
    std::multiset<std::vector<std::u16string>> sent;
    for (int i = 0; i < kStarts; ++i) {
        const std::wstring word = L"start-" + std::to_wstring(i);
        const std::wstring file = L"file " + std::to_wstring(i);
        later.push_back(shop.Start(word + L" \"" + file + L"\""));
        sent.insert({std::u16string(word.begin(), word.end()), std::u16string(file.begin(), file.end())});
    }
    for (std::future<Outcome>& run : later) {
        const std::optional<Outcome> end = Ended(run, 120s);
        ASSERT_TRUE(end) << "a later start did not end";
        EXPECT_EQ(end->exitCode, kSecondaryResult);
    }
    const auto calls = shop.Record().ArgumentsOfCalls("secondaryMain");
    const std::multiset<std::vector<std::u16string>> received(calls.begin(), calls.end());
    EXPECT_TRUE(received == sent) << "each start's arguments arrive once, none lost, none twice; "
                                  << std::set<std::vector<std::u16string>>(calls.begin(), calls.end()).size()
                                  << " distinct lists arrived";
    shop.Release();
    const std::optional<Outcome> firstEnd = Ended(first, 30s);
    ASSERT_TRUE(firstEnd);
    EXPECT_EQ(firstEnd->exitCode, 0u);
}

} // namespace
} // namespace tala::test
