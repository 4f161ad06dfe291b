// The two dialogs of tala.exe and the folder picker under Wine, as the user meets them; given
// --screenshots=FOLDER, saved there as <dialog>-<dpi>dpi.png for the README.
#include "os/windows/HyperLinkControl.h"
#include "resources/DialogIds.h"
#include "runtime/VersionRequirement.h"
#include "tests/shared/StartCases.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/Screen.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <map>
#include <sstream>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kNotFound[] = L"JRE Not Found";
constexpr wchar_t kJavaException[] = L"Java Exception";
const std::wstring kDownloadAddress(kRuntimeDownloadAddress.begin(), kRuntimeDownloadAddress.end());

struct DialogStart {
    DialogStart(const ShopFolder& shop, const wchar_t* caption, const std::wstring& arguments = L"")
        : launch(shop.CommandLine(arguments), shop.Folder()), dialog(launch.WaitForDialog(caption)) {}
    LauncherProcess launch;
    HWND dialog;
};

// Memory in the picker's process, for messages whose parameters point to data.
struct RemoteMemory {
    RemoteMemory(HANDLE owner, std::size_t size)
        : process(owner),
          at(static_cast<char*>(::VirtualAllocEx(owner, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~RemoteMemory() { ::VirtualFreeEx(process, at, 0, MEM_RELEASE); }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    HANDLE process;
    char* at;
};

bool Send(HWND window, UINT message, WPARAM wParam, const RemoteMemory& remote, DWORD_PTR& result)
{
    return ::SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(remote.at), SMTO_ABORTIFHUNG, 5000,
                                 &result) != 0;
}

// The text of the picker tree's selected item; empty when nothing is selected.
std::wstring SelectedFolderName(HANDLE process, HWND tree)
{
    DWORD_PTR item = 0;
    if (!::SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, 5000, &item) || item == 0) {
        return {};
    }
    std::wstring text(MAX_PATH, L'\0');
    const RemoteMemory remote(process, sizeof(TVITEMW) + text.size() * sizeof(wchar_t));
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = reinterpret_cast<HTREEITEM>(item);
    query.pszText = reinterpret_cast<LPWSTR>(remote.at + sizeof(TVITEMW));
    query.cchTextMax = static_cast<int>(text.size());
    DWORD_PTR found = 0;
    if (!::WriteProcessMemory(process, remote.at, &query, sizeof query, nullptr) ||
        !Send(tree, TVM_GETITEMW, 0, remote, found) || !found ||
        !::ReadProcessMemory(process, query.pszText, text.data(), text.size() * sizeof(wchar_t), nullptr)) {
        return {};
    }
    text.resize(text.find(L'\0'));
    return text;
}

bool OkEnabled(HWND dialog) { return ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE; }

HWND OpenPicker(const DialogStart& start)
{
    PostClick(start.dialog, IDC_BROWSE);
    return start.launch.WaitForDialog(L"Browse for Folder", 10s, start.dialog);
}

// Browse, the folder selected in the picker's tree, OK: the dialog then shows the folder.
testing::AssertionResult Pick(const DialogStart& start, const fs::path& folder)
{
    const HWND picker = OpenPicker(start);
    const HANDLE process = start.launch.Handle();
    const HWND tree = ::GetDlgItem(picker, 14145); // the tree shows and holds the selection
    // The picker selects its first folder after it shows up: a selection made before would be overwritten.
    if (tree == nullptr || !WaitUntil([&] { return !SelectedFolderName(process, tree).empty(); }, 5s)) {
        return testing::AssertionFailure() << "no folder picker owned by the dialog";
    }
    const std::wstring path = folder.wstring();
    const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    const RemoteMemory remote(process, bytes);
    const bool selected = ::WriteProcessMemory(process, remote.at, path.c_str(), bytes, nullptr) && WaitUntil([&] {
        DWORD_PTR ignored = 0;
        Send(picker, BFFM_SETSELECTIONW, TRUE, remote, ignored);
        return SelectedFolderName(process, tree) == folder.filename().wstring();
    }, 5s);
    if (!selected || !::PostMessageW(::GetDlgItem(picker, IDOK), BM_CLICK, 0, 0)) {
        return testing::AssertionFailure() << "not picked";
    }
    if (!WaitUntil([&] { return ControlText(start.dialog, IDC_RUNTIME_FOLDER) == folder.wstring(); }, 10s)) {
        return testing::AssertionFailure() << "the dialog does not show the picked folder";
    }
    return testing::AssertionSuccess();
}

TEST(RuntimeNotFoundDialog, NamesTheRuntimeNeededAndCancellingEndsWithMinusOneWritingNothing)
{
    const auto plain = [](const std::u16string& phrase) { return MessageOf(207, {phrase}); };
    const std::u16string latest = MessageOf(217);
    const auto cancel = [](HWND dialog) { PostClick(dialog, IDCANCEL); };
    struct Case {
        std::u16string settings;
        std::u16string message;
        void (*leave)(HWND dialog);
    };
    const Case cases[] = {
        {u"Minimum Version=any\r\nMaximum Version=any", plain(latest), cancel},
        {u"Minimum Version=any\r\nMaximum Version=any\r\nJVM Type=server", MessageOf(206, {latest}),
         [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }},
        // favor_server is no server requirement.
        {u"Minimum Version=11\r\nMaximum Version=17.0.2\r\nJVM Type=favor_server",
         plain(MessageOf(221, {u"11.0", u"17.0.2"})), PostCloseBox},
    };
    for (const Case& c : cases) {
        const ShopFolder shop(nullptr);
        shop.Write(c.settings);
        const std::string settingsBefore = ReadBytes(shop.Folder() / "Shop.ini");
        const DialogStart start(shop, kNotFound);
        ASSERT_NE(start.dialog, nullptr) << "no dialog; exit code " << start.launch.WaitForExit(0ms).value_or(0);
        EXPECT_EQ(ControlText(start.dialog, IDC_NOT_FOUND_MESSAGE), std::wstring(c.message.begin(), c.message.end()));
        c.leave(start.dialog);
        EXPECT_EQ(start.launch.WaitForExit(), kExitMinusOne);
        EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
        EXPECT_EQ(ReadBytes(shop.Folder() / "Shop.ini"), settingsBefore);
    }
}

TEST(RuntimeNotFoundDialog, OkStartsAPickedFolderThatHoldsTheVmAskedForAndTheNextStartRemembersIt)
{
    struct Case {
        std::u16string jvmType;
        std::vector<std::pair<std::wstring, bool>> picks; // a folder, and whether OK is then enabled
    };
    const Case cases[] = {{u"", {{L"lib", false}, {L"client runtime", true}, {L"lib", false}}},
                          {u"server", {{L"client runtime", false}, {L"server runtime", true}}}};
    for (const Case& c : cases) {
        const ShopFolder shop(nullptr);
        shop.Write(u"JVM Type=" + c.jvmType);
        const fs::path runtime = shop.AddRuntime(L"server runtime");
        shop.AddRuntime(L"client runtime", L"client");
        const DialogStart start(shop, kNotFound);
        ASSERT_NE(start.dialog, nullptr);
        EXPECT_FALSE(OkEnabled(start.dialog));
        // As a program could send it past the disabled button: the dialog stays.
        PostClick(start.dialog, IDOK);
        for (const auto& [folder, accepted] : c.picks) {
            ASSERT_TRUE(Pick(start, shop.Folder() / folder));
            EXPECT_EQ(OkEnabled(start.dialog), accepted) << testing::PrintToString(folder);
        }
        if (!c.picks.back().second) {
            PostClick(start.dialog, IDCANCEL);
            EXPECT_EQ(start.launch.WaitForExit(), kExitMinusOne);
            EXPECT_FALSE(fs::exists(shop.UserSettingsFolder()));
            continue;
        }
        // Browsing again and cancelling the picker keeps the runtime.
        const HWND picker = OpenPicker(start);
        ASSERT_NE(picker, nullptr);
        PostClick(picker, IDCANCEL);
        ASSERT_TRUE(WaitUntil([picker] { return !::IsWindow(picker); }, 10s));
        EXPECT_EQ(ControlText(start.dialog, IDC_RUNTIME_FOLDER), runtime.wstring());
        ASSERT_TRUE(OkEnabled(start.dialog));
        PostClick(start.dialog, IDOK);
        EXPECT_EQ(start.launch.WaitForExit(), 0u);
        const StandInRecord record = ShopFolder::RecordOf(runtime);
        EXPECT_TRUE(record.Arguments()) << "main did not run\n" << record.Text();
        EXPECT_EQ(record.Environment("TALA_JVM_PATH"), ShopFolder::VmLibraryOf(runtime).u16string());
        // The folder with its trailing backslash, in the user's copy of the settings.
        EXPECT_EQ(shop.RememberedJrePath(), runtime.wstring() + L"\\");
        const Outcome next = shop.Run();
        EXPECT_EQ(next.exitCode, 0u);
        EXPECT_TRUE(next.dialogs.empty()) << "the next start asked again" << Describe(next);
    }
}

TEST(RuntimeNotFoundDialog, TheDownloadAddressIsALinkThatShowsItselfUnderThePointer)
{
    const ShopFolder shop(nullptr);
    shop.Write();
    const DialogStart start(shop, kNotFound);
    ASSERT_NE(start.dialog, nullptr);
    const HWND link = ::GetDlgItem(start.dialog, IDC_DOWNLOAD_LINK);
    EXPECT_EQ(TextOf(link), kDownloadAddress);
    RECT area{};
    ::GetWindowRect(link, &area);
    ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    HWND tooltip = nullptr;
    const auto shown = [&] { return (tooltip = start.launch.Window(TOOLTIPS_CLASSW)) && ::IsWindowVisible(tooltip); };
    EXPECT_TRUE(WaitUntil(shown, 5s));
    EXPECT_EQ(TextOf(tooltip), kDownloadAddress);
    ::SetCursorPos(0, 0);
    PostClick(start.dialog, IDCANCEL);
    EXPECT_EQ(start.launch.WaitForExit(), kExitMinusOne);
}

TEST(DownloadLink, ReadsTheUsersLinkColourAsThreeDecimalNumbers)
{
    const std::pair<std::wstring_view, std::optional<COLORREF>> cases[] = {
        {L"0,0,255", RGB(0, 0, 255)}, {L"1, 2 ,3", RGB(1, 2, 3)}, {L"007,08,9", RGB(7, 8, 9)},
        {L"", std::nullopt},          {L"0,0", std::nullopt},     {L"0,0,0,0", std::nullopt},
        {L"0,,0", std::nullopt},      {L"256,0,0", std::nullopt}, {L"-1,0,0", std::nullopt},
        {L"0x10,0,0", std::nullopt},  {L"red", std::nullopt},
    };
    for (const auto& [text, colour] : cases) {
        EXPECT_EQ(os::ParseColourTriple(text), colour) << testing::PrintToString(std::wstring(text));
    }
}

TEST(DownloadLink, ShowsTheHandCursor)
{
    // Wine keeps cursors per process, so the link control is made in this one.
    const os::UniqueWindow parent(
        ::CreateWindowExW(0, L"Static", nullptr, WS_POPUP, 0, 0, 200, 40, nullptr, nullptr, nullptr, nullptr));
    const os::UniqueWindow control(::CreateWindowExW(0, L"Static", L"https://adoptium.net/", WS_CHILD | WS_VISIBLE, 0,
                                                     0, 200, 20, parent.get(), nullptr, nullptr, nullptr));
    os::HyperLinkControl link;
    ASSERT_TRUE(link.Attach(control.get()));
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(control.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control.get()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST(DownloadLink, IsTheUsersLinkColourOrBlue)
{
    constexpr std::uint32_t kBlue = 0x0000FF;
    const std::pair<std::optional<std::wstring>, std::uint32_t> cases[] = {
        {std::nullopt, kBlue}, {L"0,128,0", 0x008000}, {L"0,128", kBlue}};
    for (const auto& [setting, expected] : cases) {
        // Internet Explorer's "Anchor Color", which the link follows.
        const ScopedUserValue colour(L"Software\\Microsoft\\Internet Explorer\\Settings", L"Anchor Color", setting);
        const ShopFolder shop(nullptr);
        shop.Write();
        const DialogStart start(shop, kNotFound);
        ASSERT_NE(start.dialog, nullptr);
        // The underline is a run of pixels of exactly the link colour, however the text is smoothed.
        RECT area{};
        ::GetWindowRect(::GetDlgItem(start.dialog, IDC_DOWNLOAD_LINK), &area);
        Picture shot;
        EXPECT_TRUE(WaitUntil([&] { return (shot = CaptureScreen(area)).Count(expected) >= 40; }, 5s))
            << testing::PrintToString(setting);
        if (expected != kBlue) {
            EXPECT_EQ(shot.Count(kBlue), 0u);
        }
        PostClick(start.dialog, IDCANCEL);
        EXPECT_EQ(start.launch.WaitForExit(), kExitMinusOne);
    }
}

// main throws, with "Failure Check" on; the trace gets this many more lines.
const ShopFolder& ThrowingShop(const ShopFolder& shop, int traceLines = 0)
{
    shop.Write(u"[Application]\r\nFailure Check=yes");
    shop.Play("trace-lines=" + std::to_string(traceLines) + "\n");
    return shop;
}

TEST(ExceptionDialog, ShowsTheRuntimesTraceAndEndsTheApplicationAsChosen)
{
    struct Case {
        const char* answer;
        void (*give)(HWND dialog);
        bool stop;
    };
    const Case cases[] = {
        {"Ignore", [](HWND dialog) { PostClick(dialog, IDOK); }, false},
        {"Stop", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, true},
        {"Escape", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }, true},
        {"close box", PostCloseBox, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const ShopFolder shop;
        const DialogStart start(ThrowingShop(shop), kJavaException, L"throw");
        ASSERT_NE(start.dialog, nullptr) << shop.Record().Text();
        // Word for word what the runtime's printStackTrace printed.
        EXPECT_EQ(ControlText(start.dialog, IDC_STACK_TRACE),
                  L"java.lang.IllegalStateException\r\n\tat shop.App.main(App.java:3)\r\n");
        c.give(start.dialog);
        EXPECT_EQ(start.launch.WaitForExit(), c.stop ? kExitMinusOne : 0u);
        // Stop ends through System.exit(-1); after Ignore the VM ends as after a normal return.
        const StandInRecord record = shop.Record();
        EXPECT_EQ(record.Values("exit-hook"), c.stop ? std::vector<std::string>{"-1"} : std::vector<std::string>{});
        EXPECT_EQ(record.Values("call").back().rfind("DestroyJavaVM", 0) == 0, !c.stop) << record.Text();
        EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    }
}

TEST(ExceptionDialog, WithoutATraceThereIsNoneAndTheApplicationEndsAsAfterIgnore)
{
    // A runtime without the classes a trace is printed with: reported on standard error.
    const ShopFolder shop;
    ThrowingShop(shop);
    shop.Play("printable-traces=no\n");
    const Outcome outcome = shop.Run(L"throw");
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.dialogs.empty()) << Describe(outcome);
    const StandInRecord record = shop.Record();
    EXPECT_EQ(record.Values("exception-describe"), std::vector<std::string>{"java/lang/NoClassDefFoundError"});
    EXPECT_EQ(record.Values("call").back().rfind("DestroyJavaVM", 0), 0u) << record.Text();
}

SIZE FrameSize(HWND window)
{
    RECT frame{};
    ::GetWindowRect(window, &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool ResizeWindow(HWND window, SIZE frame)
{
    // Wine 8 loses a size a DPI-aware thread sets on another process's window above 96 DPI.
    const DPI_AWARENESS_CONTEXT previous = ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    // Asynchronous, so a hung program cannot hang the test; the WM_NULL after it marks it taken.
    const BOOL asked = ::SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy,
                                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    if (previous != nullptr) ::SetThreadDpiAwarenessContext(previous);
    DWORD_PTR ignored = 0;
    return asked && ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// The visible controls' rectangles in the dialog, by id; the size grip as 0.
std::map<int, RECT> Layout(HWND dialog)
{
    std::map<int, RECT> layout;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        RECT& rect = layout[ClassNameOf(child) == L"ScrollBar" ? 0 : ::GetDlgCtrlID(child)];
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    }
    return layout;
}

// Empty once every control has followed the frame's change: each edge marked 1 moves with it.
std::string FollowedAfter(HWND dialog, const std::map<int, RECT>& first, int width, int height)
{
    struct Following {
        int id;
        int left, top, right, bottom;
    };
    static constexpr Following kFollowing[] = {
        {IDOK, 1, 1, 1, 1},          {IDCANCEL, 1, 1, 1, 1},         {IDC_EXCEPTION_GROUP, 0, 0, 1, 1},
        {IDC_EXCEPTION_ICON, 0, 0, 0, 0}, {IDC_EXCEPTION_INTRO, 0, 0, 1, 0}, {IDC_STACK_TRACE, 0, 0, 1, 1},
        {IDC_IGNORE_HINT, 0, 1, 1, 1}, {IDC_STOP_WARNING, 0, 1, 1, 1}, {0, 1, 1, 1, 1}, // the size grip
    };
    std::string mismatch;
    WaitUntil([&] {
        std::ostringstream out;
        std::map<int, RECT> now = Layout(dialog);
        for (const Following& e : kFollowing) {
            const RECT was = first.contains(e.id) ? first.at(e.id) : RECT{};
            const RECT expected{was.left + e.left * width, was.top + e.top * height, was.right + e.right * width,
                                was.bottom + e.bottom * height};
            if (!first.contains(e.id) || !now.contains(e.id) || !::EqualRect(&now[e.id], &expected)) {
                out << " id " << e.id << " at (" << now[e.id].left << "," << now[e.id].top << ")-("
                    << now[e.id].right << "," << now[e.id].bottom << ");";
            }
        }
        return (mismatch = out.str()).empty();
    }, 5s);
    return mismatch;
}

TEST(ExceptionDialog, ALongTraceScrollsAndTheControlsFollowTheFrameWhichStaysAtLeastItsFirstSize)
{
    const ShopFolder shop;
    const DialogStart start(ThrowingShop(shop, 40), kJavaException, L"throw");
    const HWND dialog = start.dialog;
    ASSERT_NE(dialog, nullptr);
    const HWND trace = ::GetDlgItem(dialog, IDC_STACK_TRACE);
    EXPECT_NE(::GetWindowLongW(trace, GWL_STYLE) & ES_READONLY, 0) << "the trace can be changed";
    DWORD_PTR firstLine = 0;
    ::SendMessageTimeoutW(trace, WM_VSCROLL, SB_PAGEDOWN, 0, SMTO_ABORTIFHUNG, 5000, &firstLine);
    ::SendMessageTimeoutW(trace, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &firstLine);
    EXPECT_GT(firstLine, 0u) << "the trace does not scroll";

    const std::map<int, RECT> first = Layout(dialog);
    const SIZE frame = FrameSize(dialog);
    ASSERT_TRUE(ResizeWindow(dialog, {frame.cx + 160, frame.cy + 120}));
    EXPECT_EQ(FollowedAfter(dialog, first, 160, 120), "");
    ASSERT_TRUE(ResizeWindow(dialog, {frame.cx / 2, frame.cy / 2}));
    EXPECT_EQ(std::pair(FrameSize(dialog).cx, FrameSize(dialog).cy), std::pair(frame.cx, frame.cy));
    EXPECT_EQ(FollowedAfter(dialog, first, 0, 0), "");
    // Maximised, the trace grows and the size grip has no corner to sit in.
    ::ShowWindowAsync(dialog, SW_MAXIMIZE);
    EXPECT_TRUE(WaitUntil([&] {
        std::map<int, RECT> now = Layout(dialog);
        const LONG bottom = first.at(IDC_STACK_TRACE).bottom;
        return ::IsZoomed(dialog) && !now.contains(0) && now[IDC_STACK_TRACE].bottom > bottom;
    }, 5s));
    ::ShowWindowAsync(dialog, SW_RESTORE);
    EXPECT_EQ(FollowedAfter(dialog, first, 0, 0), "");
    PostClick(dialog, IDOK);
    EXPECT_EQ(start.launch.WaitForExit(), 0u);
}

TEST(Screenshot, BothDialogsAreCentredShowTheErrorIconAndAreDrawnForTheDpi)
{
    struct Case {
        const char* name;
        const wchar_t* caption;
        int iconId;
        int templateWidth; // in dialog units
    };
    const Case cases[] = {{"jre-not-found", kNotFound, IDC_NOT_FOUND_ICON, 219},
                          {"java-exception", kJavaException, IDC_EXCEPTION_ICON, 275}};
    for (const Case& c : cases) {
        const ShopFolder shop(c.caption == kNotFound ? nullptr : kStandInVm);
        if (c.caption == kNotFound) {
            shop.Write(u"Minimum Version=17\r\nMaximum Version=any");
        } else {
            ThrowingShop(shop, 30);
        }
        const DialogStart start(shop, c.caption, L"throw");
        ASSERT_NE(start.dialog, nullptr) << c.name;
        ::SetCursorPos(0, 0); // the pointer would show a tooltip over the link
        EXPECT_EQ(::GetWindow(start.dialog, GW_OWNER), nullptr) << "no owner to centre over";
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(start.dialog, MONITOR_DEFAULTTONEAREST), &monitor));
        RECT frame{};
        ::GetWindowRect(start.dialog, &frame);
        const RECT& area = monitor.rcWork;
        EXPECT_NEAR(frame.left - area.left, area.right - frame.right, 1) << c.name;
        EXPECT_NEAR(frame.top - area.top, area.bottom - frame.bottom, 1) << c.name;
        const HWND icon = ::GetDlgItem(start.dialog, c.iconId);
        EXPECT_TRUE(WaitUntil([icon] { return ShowsErrorIcon(icon); }, 5s)) << c.name;
        // A dialog unit of an 8 point font is 1.5 pixels or more at 96 DPI.
        const os::ScreenDc screen(::GetDC(nullptr));
        const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        const Picture picture = CaptureSettledWindow(start.dialog, 5s);
        EXPECT_GE(picture.width, c.templateWidth * 3 / 2 * dpi / 96) << c.name;
        const fs::path folder = PathOption(L"--screenshots=");
        if (!folder.empty()) {
            fs::create_directories(folder);
            const fs::path file = folder / (std::string(c.name) + "-" + std::to_string(dpi) + "dpi.png");
            EXPECT_TRUE(SavePng(picture, file)) << file;
        }
        PostClick(start.dialog, IDCANCEL);
        EXPECT_EQ(start.launch.WaitForExit(), kExitMinusOne);
    }
}

} // namespace
} // namespace tala::test
