// The "JRE Not Found" dialog of tala.exe (renamed Shop.exe) under Wine: the
// message for the version bounds, its controls, the download link, the
// folder picker behind Browse and what OK and every way of cancelling lead to.
#include "resources/DialogIds.h"
#include "runtime/VersionRequirement.h"
#include "tests/windows/driver/Driver.h"
#include "tests/windows/driver/ScreenIcon.h"
#include "tests/windows/dialogs/DialogTesting.h"
#include "tests/windows/dialogs/LauncherRun.h"
#include "tests/windows/dialogs/ShopFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kCancelled = 0xFFFFFFFF; // -1
constexpr wchar_t kCaption[] = L"JRE Not Found";
constexpr wchar_t kPickerCaption[] = L"Browse for Folder";

std::wstring DownloadAddress()
{
    return std::wstring(kRuntimeDownloadAddress.begin(), kRuntimeDownloadAddress.end());
}

// Shop.exe started; the dialog, once it has shown up.
struct DialogStart {
    explicit DialogStart(const ShopFolder& shop)
        : run(shop.CommandLine(), shop.Folder()), dialog(run.WaitForDialog(kCaption))
    {
    }
    LauncherRun run;
    HWND dialog;
};

bool OkEnabled(HWND dialog)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE;
}

// Browse, pick the folder in the picker, confirm: the dialog then shows the
// folder in its edit control.
testing::AssertionResult Pick(const DialogStart& start, const fs::path& folder)
{
    PostClick(start.dialog, IDC_BROWSE);
    const HWND picker = start.run.WaitForDialog(kPickerCaption, 10s, start.dialog);
    if (picker == nullptr) return testing::AssertionFailure() << "no folder picker owned by the dialog";
    if (!PickFolder(start.run.Process(), picker, folder.wstring())) {
        return testing::AssertionFailure() << "the folder could not be selected in the picker";
    }
    if (!WaitUntil([picker] { return !::IsWindow(picker); }, 10s)) {
        return testing::AssertionFailure() << "the picker stayed open";
    }
    std::wstring shown;
    if (!WaitUntil(
            [&] {
                shown = ControlText(start.dialog, IDC_RUNTIME_FOLDER);
                return shown == folder.wstring();
            },
            5s)) {
        return testing::AssertionFailure() << "the dialog shows \"" << testing::PrintToString(shown)
                                           << "\" instead of the picked folder";
    }
    return testing::AssertionSuccess();
}

// --- the message ----------------------------------------------------------

struct MessageCase {
    std::string name;
    ShopSettings settings;
    std::wstring message;
};

void PrintTo(const MessageCase& tested, std::ostream* out)
{
    *out << tested.name;
}

std::vector<MessageCase> MessageCases()
{
    const std::wstring latest = FormatMessageText(217);
    const auto plain = [](const std::wstring& phrase) { return FormatMessageText(207, {phrase}); };
    return {
        {"any and any", RequiringRuntime(u"any", u"any"), plain(latest)},
        {"any and any with a server VM", RequiringRuntime(u"any", u"any", u"server"),
         FormatMessageText(206, {latest})},
        {"1.8 and 1.8", RequiringRuntime(u"1.8", u"1.8"), plain(FormatMessageText(221, {L"1.8", L"1.8"}))},
        {"1.8.0.151 and 1.8.0.151", RequiringRuntime(u"1.8.0.151", u"1.8.0.151"),
         plain(FormatMessageText(220, {L"1.8.0.151"}))},
        {"1.8 and an empty maximum", RequiringRuntime(u"1.8", u""), plain(FormatMessageText(219, {L"1.8"}))},
        {"favor_server is no server requirement", RequiringRuntime(u"11", u"17.0.2", u"favor_server"),
         plain(FormatMessageText(221, {L"11.0", L"17.0.2"}))},
    };
}

class RuntimeNotFoundMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(RuntimeNotFoundMessage, NamesTheRuntimeTheApplicationNeeds)
{
    const MessageCase& tested = GetParam();
    ShopFolder shop;
    shop.Write(tested.settings);
    DialogStart start(shop);
    ASSERT_TRUE(start.run.Started()) << "error " << start.run.StartError();
    ASSERT_NE(start.dialog, nullptr) << "no \"JRE Not Found\" dialog; exit code "
                                     << start.run.WaitForExit(0ms).value_or(0);

    EXPECT_EQ(ControlText(start.dialog, IDC_NOT_FOUND_MESSAGE), tested.message);
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

INSTANTIATE_TEST_SUITE_P(Bounds, RuntimeNotFoundMessage, testing::ValuesIn(MessageCases()),
                         CaseName<MessageCase>);

// --- the dialog as it opens -------------------------------------------------

TEST(RuntimeNotFoundDialog, ShowsItsControlsWhereItsTemplatePutsThem)
{
    ShopFolder shop;
    shop.Write({});
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    struct Expected {
        int id;
        std::wstring className;
        std::optional<std::wstring> text; // none: an icon's text is its resource id
        RECT units; // dialog units: left, top, right, bottom
        bool sized = true; // an icon control takes the icon's size
    };
    const Expected expected[] = {
        {ClassicId(-1), L"Button", L"Missing JRE", {8, 11, 211, 114}},
        {IDC_NOT_FOUND_ICON, L"Static", std::nullopt, {16, 24, 36, 44}, false},
        {IDC_NOT_FOUND_MESSAGE, L"Static", FormatMessageText(207, {FormatMessageText(217)}), {42, 24, 191, 48}},
        {IDC_DOWNLOAD_LINK, L"Static", DownloadAddress(), {44, 55, 119, 63}},
        {IDC_BROWSE_HINT, L"Static", L"If you have a JRE installed you can browse for it below:",
         {12, 73, 207, 81}},
        {ClassicId(-1), L"Static", L"JRE Path:", {12, 92, 57, 100}},
        {IDC_RUNTIME_FOLDER, L"Edit", L"", {60, 89, 154, 103}},
        {IDC_BROWSE, L"Button", L"Browse...", {157, 89, 207, 103}},
        {IDOK, L"Button", L"OK", {107, 122, 157, 136}},
        {IDCANCEL, L"Button", L"Cancel", {161, 122, 211, 136}},
    };
    const std::vector<SeenControl> seen = ControlsOf(start.dialog);
    ASSERT_EQ(seen.size(), std::size(expected));

    // The dialog is 219 by 145 units: its client area gives the unit's size.
    RECT client{};
    ::GetClientRect(start.dialog, &client);
    const double unitX = client.right / 219.0;
    const double unitY = client.bottom / 145.0;
    const auto closeTo = [](LONG pixels, double units) { return std::abs(pixels - units) <= 2.0; };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& want = expected[i];
        const SeenControl& control = seen[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << want.id << ")");
        EXPECT_EQ(control.id, want.id);
        EXPECT_EQ(control.className, want.className);
        if (want.text) {
            EXPECT_EQ(control.text, *want.text);
        }
        EXPECT_TRUE(closeTo(control.rect.left, want.units.left * unitX)) << control.rect.left;
        EXPECT_TRUE(closeTo(control.rect.top, want.units.top * unitY)) << control.rect.top;
        if (!want.sized) continue;
        EXPECT_TRUE(closeTo(control.rect.right, want.units.right * unitX)) << control.rect.right;
        EXPECT_TRUE(closeTo(control.rect.bottom, want.units.bottom * unitY)) << control.rect.bottom;
    }

    DialogIcon icon = DialogIcon::Other;
    WaitUntil(
        [&] {
            icon = IconShownBy(::GetDlgItem(start.dialog, IDC_NOT_FOUND_ICON));
            return icon == DialogIcon::Error;
        },
        5s);
    EXPECT_EQ(icon, DialogIcon::Error);
    EXPECT_FALSE(OkEnabled(start.dialog));
    EXPECT_NE(::GetWindowLongW(::GetDlgItem(start.dialog, IDC_RUNTIME_FOLDER), GWL_STYLE) & ES_READONLY, 0);

    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

TEST(RuntimeNotFoundDialog, IsCentredInTheWorkArea)
{
    ShopFolder shop;
    shop.Write({});
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    // Started by a program without windows: no owner to centre over.
    EXPECT_EQ(::GetWindow(start.dialog, GW_OWNER), nullptr);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(start.dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT frame{};
    ::GetWindowRect(start.dialog, &frame);
    const RECT& area = monitor.rcWork;
    EXPECT_NEAR(frame.left - area.left, area.right - frame.right, 1);
    EXPECT_NEAR(frame.top - area.top, area.bottom - frame.bottom, 1);

    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

// --- cancelling -------------------------------------------------------------

struct CancelCase {
    std::string name;
    std::function<void(HWND)> act;
};

void PrintTo(const CancelCase& tested, std::ostream* out)
{
    *out << tested.name;
}

class RuntimeNotFoundCancel : public testing::TestWithParam<CancelCase> {};

TEST_P(RuntimeNotFoundCancel, EndsWithMinusOneAndWritesNothing)
{
    ShopFolder shop;
    shop.Write({});
    const std::string settingsBefore = ReadBytes(shop.Folder() / "Shop.ini");
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    GetParam().act(start.dialog);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
    EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
    EXPECT_EQ(ReadBytes(shop.Folder() / "Shop.ini"), settingsBefore);
}

INSTANTIATE_TEST_SUITE_P(Ways, RuntimeNotFoundCancel,
                         testing::Values(CancelCase{"Cancel", [](HWND dialog) { PostClick(dialog, IDCANCEL); }},
                                         CancelCase{"Escape", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }},
                                         CancelCase{"close box", [](HWND dialog) { PostCloseBox(dialog); }}),
                         CaseName<CancelCase>);

TEST(RuntimeNotFoundDialog, OkSentBeforeARuntimeIsPickedDoesNothing)
{
    ShopFolder shop;
    shop.Write({});
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    // As a program could send it past the disabled button.
    PostClick(start.dialog, IDOK);
    EXPECT_EQ(start.run.WaitForExit(1s), std::nullopt);
    EXPECT_TRUE(::IsWindowVisible(start.dialog));
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

// --- picking a runtime folder -----------------------------------------------

TEST(RuntimeNotFoundDialog, OkIsEnabledOnlyWhileThePickedFolderIsARuntime)
{
    ShopFolder shop;
    shop.Write({});
    const fs::path runtime = shop.AddRuntime(L"picked runtime");
    const fs::path notRuntime = shop.Folder() / "lib";
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    ASSERT_TRUE(Pick(start, notRuntime));
    EXPECT_FALSE(OkEnabled(start.dialog));
    ASSERT_TRUE(Pick(start, runtime));
    EXPECT_TRUE(OkEnabled(start.dialog));
    ASSERT_TRUE(Pick(start, notRuntime));
    EXPECT_FALSE(OkEnabled(start.dialog)) << "a folder without a VM library after a runtime";

    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
    EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
}

TEST(RuntimeNotFoundDialog, BrowseOffersFileSystemFoldersOnlyAndCancellingItChangesNothing)
{
    ShopFolder shop;
    shop.Write({});
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    PostClick(start.dialog, IDC_BROWSE);
    const HWND picker = start.run.WaitForDialog(kPickerCaption, 10s, start.dialog);
    ASSERT_NE(picker, nullptr) << "no folder picker owned by the dialog";
    std::wstring texts;
    bool titled = false;
    for (const SeenControl& control : ControlsOf(picker)) {
        texts += L"\n  " + std::to_wstring(control.id) + L" " + control.className + L" \"" + control.text + L"\"";
        titled = titled || control.text == FormatMessageText(214);
        // BIF_NONEWFOLDERBUTTON: the new style's "Make New Folder" is hidden.
        EXPECT_EQ(control.text.find(L"New Folder"), std::wstring::npos) << "a new folder button is offered";
    }
    EXPECT_TRUE(titled) << "no \"Browse for JRE folder\" among the picker's controls:"
                        << testing::PrintToString(texts);
    // BIF_NEWDIALOGSTYLE: the picker of the new style can be resized.
    EXPECT_NE(::GetWindowLongW(picker, GWL_STYLE) & WS_THICKFRAME, 0);

    PostClick(picker, IDCANCEL);
    EXPECT_TRUE(WaitUntil([picker] { return !::IsWindow(picker); }, 10s));
    EXPECT_EQ(ControlText(start.dialog, IDC_RUNTIME_FOLDER), L"");
    EXPECT_FALSE(OkEnabled(start.dialog));
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

TEST(RuntimeNotFoundDialog, OkStartsThePickedRuntimeAndTheNextStartRemembersIt)
{
    ShopFolder shop;
    shop.Write({});
    const fs::path runtime = shop.AddRuntime(L"picked runtime");
    {
        DialogStart start(shop);
        ASSERT_NE(start.dialog, nullptr);
        ASSERT_TRUE(Pick(start, runtime));
        ASSERT_TRUE(OkEnabled(start.dialog));
        PostClick(start.dialog, IDOK);
        EXPECT_EQ(start.run.WaitForExit(15s), 0u);
    }
    const StandInRecord record = StandInRecord::Beside(ShopFolder::VmLibraryOf(runtime));
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    const std::vector<std::string> calls = record.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "main"), calls.end()) << record.Text();
    EXPECT_EQ(record.Environment(u"TALA_JVM_PATH"), ShopFolder::VmLibraryOf(runtime).u16string());
    // The folder with its trailing backslash, in the user's copy of the settings.
    EXPECT_EQ(shop.RememberedJrePath(), runtime.wstring() + L"\\");

    const Outcome next = RunTarget({shop.CommandLine(), shop.Folder().wstring(), 15s}, nullptr);
    EXPECT_EQ(next.exitCode, 0u);
    EXPECT_TRUE(next.dialogs.empty()) << "the next start asked again";
}

struct ProbeCase {
    std::string name;
    std::u16string jvmType;
    std::wstring vmKind; // the VM library's folder under bin
    bool accepted;
};

void PrintTo(const ProbeCase& tested, std::ostream* out)
{
    *out << tested.name;
}

class RuntimeNotFoundProbe : public testing::TestWithParam<ProbeCase> {};

TEST_P(RuntimeNotFoundProbe, OkFollowsTheVmTheSettingsAskFor)
{
    const ProbeCase& tested = GetParam();
    ShopFolder shop;
    shop.Write(RequiringRuntime(u"any", u"any", tested.jvmType));
    const fs::path runtime = shop.AddRuntime(L"runtime", tested.vmKind);
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);

    ASSERT_TRUE(Pick(start, runtime));
    EXPECT_EQ(OkEnabled(start.dialog), tested.accepted);
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RuntimeNotFoundProbe,
    testing::Values(ProbeCase{"server VM for a server requirement", u"server", L"server", true},
                    ProbeCase{"only a client VM for a server requirement", u"server", L"client", false},
                    ProbeCase{"only a client VM without a requirement", u"", L"client", true}),
    CaseName<ProbeCase>);

// --- the download link --------------------------------------------------------

struct TooltipSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTooltip(HWND window, LPARAM state)
{
    auto& search = *reinterpret_cast<TooltipSearch*>(state);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (processId == search.processId && std::wstring(name) == TOOLTIPS_CLASSW) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(RuntimeNotFoundDialog, TheDownloadAddressIsALinkNamedByItsTooltip)
{
    ShopFolder shop;
    shop.Write({});
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);
    const HWND link = ::GetDlgItem(start.dialog, IDC_DOWNLOAD_LINK);

    EXPECT_EQ(TextOf(link), DownloadAddress());
    // Without the notify style a static control never sees the mouse.
    EXPECT_NE(::GetWindowLongW(link, GWL_STYLE) & SS_NOTIFY, 0);

    TooltipSearch search{::GetProcessId(start.run.Process())};
    ::EnumWindows(MatchTooltip, reinterpret_cast<LPARAM>(&search));
    ASSERT_NE(search.found, nullptr) << "no tooltip window";
    DWORD_PTR tools = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(search.found, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &tools));
    ASSERT_EQ(tools, 1u);

    // The tool's description is copied into the tooltip's process.
    constexpr std::size_t kTextRoom = 512;
    const RemoteMemory remote(start.run.Process(), sizeof(TTTOOLINFOW) + kTextRoom * sizeof(wchar_t));
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.Address()) + sizeof(TTTOOLINFOW));
    const wchar_t empty = L'\0';
    ASSERT_TRUE(remote.Write(0, &tool, sizeof tool));
    ASSERT_TRUE(remote.Write(sizeof(TTTOOLINFOW), &empty, sizeof empty));
    DWORD_PTR found = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(search.found, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote.Address()),
                                      SMTO_ABORTIFHUNG, 5000, &found));
    ASSERT_TRUE(found);
    std::wstring text(kTextRoom, L'\0');
    ASSERT_TRUE(remote.Read(0, &tool, sizeof tool));
    ASSERT_TRUE(remote.Read(sizeof(TTTOOLINFOW), text.data(), kTextRoom * sizeof(wchar_t)));
    text.resize(text.find(L'\0'));
    EXPECT_EQ(reinterpret_cast<HWND>(tool.uId), link);
    EXPECT_EQ(text, DownloadAddress());

    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.run.WaitForExit(), kCancelled);
}

} // namespace
} // namespace tala::test
