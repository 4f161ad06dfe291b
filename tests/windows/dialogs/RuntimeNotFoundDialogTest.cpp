// The "JRE Not Found" dialog of tala.exe (renamed Shop.exe) under Wine: the
// message for the version bounds, every way of cancelling, the folder picker
// behind Browse, what OK leads to, and the download link.
#include "resources/DialogIds.h"
#include "runtime/VersionRequirement.h"
#include "tests/shared/CaseName.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/MessageTexts.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"
#include "tests/windows/dialogs/FolderPicker.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kCancelled = 0xFFFFFFFF; // -1
constexpr wchar_t kCaption[] = L"JRE Not Found";
constexpr wchar_t kPickerCaption[] = L"Browse for Folder";
const std::wstring kDownloadAddress(kRuntimeDownloadAddress.begin(), kRuntimeDownloadAddress.end());

// A text of the string table with its "%s" filled in order.
std::wstring MessageText(int id, const std::vector<std::wstring>& arguments = {})
{
    std::wstring text(MessageTextOf(id));
    for (const std::wstring& argument : arguments) text.replace(text.find(L"%s"), 2, argument);
    return text;
}

// Shop.exe started; the dialog, once it has shown up.
struct DialogStart {
    explicit DialogStart(const ShopFolder& shop)
        : launch(shop.CommandLine(), shop.Folder()), dialog(launch.WaitForDialog(kCaption))
    {
    }
    LauncherProcess launch;
    HWND dialog;
};

bool OkEnabled(HWND dialog)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE;
}

// Browse pressed: the folder picker, owned by the dialog.
HWND OpenPicker(const DialogStart& start)
{
    PostClick(start.dialog, IDC_BROWSE);
    return start.launch.WaitForDialog(kPickerCaption, 10s, start.dialog);
}

// Browse, the folder picked, the picker closed: the dialog then shows the
// folder in its edit control.
testing::AssertionResult Pick(const DialogStart& start, const fs::path& folder)
{
    const HWND picker = OpenPicker(start);
    if (picker == nullptr) return testing::AssertionFailure() << "no folder picker owned by the dialog";
    if (!PickFolder(start.launch.Handle(), picker, folder)) {
        return testing::AssertionFailure() << "the folder could not be picked";
    }
    if (!WaitUntil([&] { return ControlText(start.dialog, IDC_RUNTIME_FOLDER) == folder.wstring(); }, 10s)) {
        return testing::AssertionFailure() << "the dialog does not show the picked folder";
    }
    return testing::AssertionSuccess();
}

// Cases print as their names in failure messages.
template <typename Case>
    requires requires(const Case& tested) { tested.name; }
void PrintTo(const Case& tested, std::ostream* out)
{
    *out << tested.name;
}

// --- the message, and cancelling --------------------------------------------

struct MessageCase {
    std::string name;
    std::u16string settings;
    std::wstring message;
    void (*leave)(HWND dialog);
};

void Cancel(HWND dialog)
{
    PostClick(dialog, IDCANCEL);
}

void Escape(HWND dialog)
{
    PostKey(dialog, VK_ESCAPE);
}

std::vector<MessageCase> MessageCases()
{
    const std::wstring latest = MessageText(217);
    const auto plain = [](const std::wstring& phrase) { return MessageText(207, {phrase}); };
    return {
        {"any and any, Cancel", u"Minimum Version=any\r\nMaximum Version=any", plain(latest), Cancel},
        {"any and any with a server VM, Escape", u"Minimum Version=any\r\nMaximum Version=any\r\nJVM Type=server",
         MessageText(206, {latest}), Escape},
        {"1.8 and 1.8, close box", u"Minimum Version=1.8\r\nMaximum Version=1.8",
         plain(MessageText(221, {L"1.8", L"1.8"})), PostCloseBox},
        {"1.8.0.151 and 1.8.0.151", u"Minimum Version=1.8.0.151\r\nMaximum Version=1.8.0.151",
         plain(MessageText(220, {L"1.8.0.151"})), Cancel},
        {"1.8 and an empty maximum", u"Minimum Version=1.8\r\nMaximum Version=", plain(MessageText(219, {L"1.8"})),
         Cancel},
        {"favor_server is no server requirement",
         u"Minimum Version=11\r\nMaximum Version=17.0.2\r\nJVM Type=favor_server",
         plain(MessageText(221, {L"11.0", L"17.0.2"})), Cancel},
    };
}

class RuntimeNotFoundMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(RuntimeNotFoundMessage, NamesTheRuntimeNeededAndCancellingEndsWithMinusOneWritingNothing)
{
    const MessageCase& tested = GetParam();
    ShopFolder shop;
    shop.Write(tested.settings);
    const std::string settingsBefore = ReadBytes(shop.Folder() / "Shop.ini");
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr) << "no dialog; exit code " << start.launch.WaitForExit(0ms).value_or(0);

    EXPECT_EQ(ControlText(start.dialog, IDC_NOT_FOUND_MESSAGE), tested.message);
    tested.leave(start.dialog);
    EXPECT_EQ(start.launch.WaitForExit(), kCancelled);
    EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
    EXPECT_EQ(ReadBytes(shop.Folder() / "Shop.ini"), settingsBefore);
}

INSTANTIATE_TEST_SUITE_P(Bounds, RuntimeNotFoundMessage, testing::ValuesIn(MessageCases()), CaseName<MessageCase>);

// --- picking a runtime folder -----------------------------------------------

struct PickCase {
    std::string name;
    std::u16string jvmType;
    std::vector<std::pair<std::wstring, bool>> picks; // a folder, and whether OK is then enabled
};

class RuntimeNotFoundPick : public testing::TestWithParam<PickCase> {};

TEST_P(RuntimeNotFoundPick, EnablesOkOnlyWhileThePickedFolderHoldsTheVmTheSettingsAskFor)
{
    const PickCase& tested = GetParam();
    ShopFolder shop;
    shop.Write(u"JVM Type=" + tested.jvmType);
    shop.AddRuntime(L"server runtime");
    shop.AddRuntime(L"client runtime", L"client");
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);
    EXPECT_FALSE(OkEnabled(start.dialog));
    // As a program could send it past the disabled button: the dialog stays
    // and the picks below still reach it.
    PostClick(start.dialog, IDOK);

    for (const auto& [folder, accepted] : tested.picks) {
        SCOPED_TRACE(testing::Message() << "picked " << testing::PrintToString(folder));
        ASSERT_TRUE(Pick(start, shop.Folder() / folder));
        EXPECT_EQ(OkEnabled(start.dialog), accepted);
    }
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.launch.WaitForExit(), kCancelled);
    EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RuntimeNotFoundPick,
    testing::Values(PickCase{"no VM requirement", u"", {{L"lib", false}, {L"client runtime", true}, {L"lib", false}}},
                    PickCase{"server requirement", u"server", {{L"client runtime", false}, {L"server runtime", true}}}),
    CaseName<PickCase>);

TEST(RuntimeNotFoundDialog, OkStartsThePickedRuntimeAndTheNextStartRemembersIt)
{
    ShopFolder shop;
    shop.Write(u"");
    const fs::path runtime = shop.AddRuntime(L"picked runtime");
    {
        DialogStart start(shop);
        ASSERT_NE(start.dialog, nullptr);
        ASSERT_TRUE(Pick(start, runtime));
        // Browsing again and cancelling the picker keeps the runtime.
        const HWND picker = OpenPicker(start);
        ASSERT_NE(picker, nullptr);
        PostClick(picker, IDCANCEL);
        ASSERT_TRUE(WaitUntil([picker] { return !::IsWindow(picker); }, 10s));
        EXPECT_EQ(ControlText(start.dialog, IDC_RUNTIME_FOLDER), runtime.wstring());
        ASSERT_TRUE(OkEnabled(start.dialog));
        PostClick(start.dialog, IDOK);
        EXPECT_EQ(start.launch.WaitForExit(), 0u);
    }
    const StandInRecord record = ShopFolder::RecordOf(runtime);
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

// --- the download link ------------------------------------------------------

TEST(RuntimeNotFoundDialog, TheDownloadAddressIsALinkThatShowsItselfUnderThePointer)
{
    ShopFolder shop;
    shop.Write(u"");
    DialogStart start(shop);
    ASSERT_NE(start.dialog, nullptr);
    const HWND link = ::GetDlgItem(start.dialog, IDC_DOWNLOAD_LINK);
    EXPECT_EQ(TextOf(link), kDownloadAddress);

    RECT area{};
    ::GetWindowRect(link, &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    HWND tooltip = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            tooltip = start.launch.Window(TOOLTIPS_CLASSW);
            return tooltip != nullptr && ::IsWindowVisible(tooltip);
        },
        5s))
        << "no tooltip";
    EXPECT_EQ(TextOf(tooltip), kDownloadAddress);
    ::SetCursorPos(0, 0);

    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.launch.WaitForExit(), kCancelled);
}

} // namespace
} // namespace tala::test
