// The "Java Exception" dialog under Wine: on its own, as
// tala-exception-prompt.exe shows it for a long sample trace (the controls,
// scrolling, Ignore and every way of stopping, resizing); and as tala.exe
// (renamed Shop.exe) shows it when main throws on the stand-in VM library with
// "Failure Check" on (the trace the runtime prints, and what Ignore and Stop
// do to the application).
#include "resources/DialogIds.h"
#include "tests/windows/driver/Driver.h"
#include "tests/windows/driver/ScreenIcon.h"
#include "tests/windows/dialogs/DialogTesting.h"
#include "tests/windows/dialogs/ExceptionScenario.h"
#include "tests/windows/dialogs/LauncherRun.h"
#include "tests/windows/dialogs/ShopFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kStopped = 0xFFFFFFFF; // System.exit(-1)
constexpr wchar_t kCaption[] = L"Java Exception";

// The dialog on its own, showing the sample trace.
class PromptedTrace {
public:
    PromptedTrace()
        : run_(StartExceptionPrompt(folder_.Path(), SampleStackTrace())), dialog_(run_->WaitForDialog(kCaption))
    {
    }

    HWND Dialog() const { return dialog_; }
    const LauncherRun& Run() const { return *run_; }

private:
    TempFolder folder_;
    std::unique_ptr<LauncherRun> run_;
    HWND dialog_;
};

// The dialog program's exit codes.
constexpr std::uint32_t kIgnored = 0;
constexpr std::uint32_t kStopChosen = 1;

TEST(ExceptionDialog, ShowsTheStackTraceWithItsControls)
{
    const PromptedTrace prompt;
    const HWND dialog = prompt.Dialog();
    ASSERT_NE(dialog, nullptr) << "no \"Java Exception\" dialog";

    struct Expected {
        int id;
        std::wstring className;
        std::optional<std::wstring> text; // none: an icon's text is its resource id
    };
    const Expected expected[] = {
        {IDOK, L"Button", L"Ignore"},
        {IDCANCEL, L"Button", L"Stop"},
        {IDC_EXCEPTION_GROUP, L"Button", L"Uncaught Exception"},
        {IDC_EXCEPTION_ICON, L"Static", std::nullopt},
        {IDC_EXCEPTION_INTRO, L"Static", L"The java process has thrown the following uncaught exception:"},
        {IDC_STACK_TRACE, L"Edit", SampleStackTrace()},
        {IDC_IGNORE_HINT, L"Static",
         L"Press Ignore to continue and ignore the exception or press Stop to close the application."},
        {IDC_STOP_WARNING, L"Static",
         L"WARNING: If you choose to Stop the application any unsaved data will be lost."},
    };
    std::vector<SeenControl> seen = ControlsOf(dialog);
    // The size grip is the dialog's own addition, checked below.
    std::erase_if(seen, [](const SeenControl& control) { return control.className == L"ScrollBar"; });
    ASSERT_EQ(seen.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << expected[i].id << ")");
        EXPECT_EQ(seen[i].id, expected[i].id);
        EXPECT_EQ(seen[i].className, expected[i].className);
        if (expected[i].text) {
            EXPECT_EQ(seen[i].text, *expected[i].text);
        }
    }

    const HWND trace = ::GetDlgItem(dialog, IDC_STACK_TRACE);
    const auto traceStyle = static_cast<DWORD>(::GetWindowLongW(trace, GWL_STYLE));
    EXPECT_NE(traceStyle & ES_READONLY, 0u) << "the trace can be changed";
    EXPECT_NE(traceStyle & ES_MULTILINE, 0u);
    EXPECT_NE(traceStyle & WS_VSCROLL, 0u);
    EXPECT_NE(static_cast<DWORD>(::GetWindowLongW(::GetDlgItem(dialog, IDC_EXCEPTION_GROUP), GWL_EXSTYLE)) &
                  WS_EX_TRANSPARENT,
              0u);
    const auto style = static_cast<DWORD>(::GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_NE(style & WS_THICKFRAME, 0u) << "not resizable";
    EXPECT_NE(style & WS_CLIPCHILDREN, 0u) << "paints over its controls";

    DialogIcon icon = DialogIcon::Other;
    WaitUntil(
        [&] {
            icon = IconShownBy(::GetDlgItem(dialog, IDC_EXCEPTION_ICON));
            return icon == DialogIcon::Error;
        },
        5s);
    EXPECT_EQ(icon, DialogIcon::Error);

    // A thread without windows of its own shows it centred in the work area.
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT frame{};
    ::GetWindowRect(dialog, &frame);
    EXPECT_NEAR(frame.left - monitor.rcWork.left, monitor.rcWork.right - frame.right, 1);
    EXPECT_NEAR(frame.top - monitor.rcWork.top, monitor.rcWork.bottom - frame.bottom, 1);

    PostClick(dialog, IDOK);
    EXPECT_EQ(prompt.Run().WaitForExit(), kIgnored);
}

TEST(ExceptionDialog, ALongTraceCanBeScrolled)
{
    const PromptedTrace prompt;
    ASSERT_NE(prompt.Dialog(), nullptr);
    const HWND trace = ::GetDlgItem(prompt.Dialog(), IDC_STACK_TRACE);

    DWORD_PTR firstLine = 1;
    ASSERT_TRUE(::SendMessageTimeoutW(trace, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &firstLine));
    EXPECT_EQ(firstLine, 0u);
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(trace, WM_VSCROLL, SB_PAGEDOWN, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
    ASSERT_TRUE(::SendMessageTimeoutW(trace, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &firstLine));
    EXPECT_GT(firstLine, 0u) << "the trace does not scroll";

    PostClick(prompt.Dialog(), IDOK);
    EXPECT_EQ(prompt.Run().WaitForExit(), kIgnored);
}

struct AnswerCase {
    std::string name;
    std::function<void(HWND)> act;
    bool stop;
};

void PrintTo(const AnswerCase& tested, std::ostream* out)
{
    *out << tested.name;
}

std::vector<AnswerCase> AnswerCases()
{
    return {
        {"Ignore", [](HWND dialog) { PostClick(dialog, IDOK); }, false},
        {"Stop", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, true},
        {"Escape", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }, true},
        {"close box", [](HWND dialog) { PostCloseBox(dialog); }, true},
    };
}

class ExceptionDialogAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(ExceptionDialogAnswer, IsIgnoreOrStop)
{
    const PromptedTrace prompt;
    ASSERT_NE(prompt.Dialog(), nullptr);
    GetParam().act(prompt.Dialog());
    EXPECT_EQ(prompt.Run().WaitForExit(), GetParam().stop ? kStopChosen : kIgnored);
}

INSTANTIATE_TEST_SUITE_P(Ways, ExceptionDialogAnswer, testing::ValuesIn(AnswerCases()), CaseName<AnswerCase>);

// --- resizing -------------------------------------------------------------

// The rectangles of the controls and the size grip in the dialog's client
// coordinates, by id (the grip as 0).
std::map<int, RECT> Layout(HWND dialog)
{
    std::map<int, RECT> layout;
    for (const SeenControl& control : ControlsOf(dialog)) {
        layout[control.className == L"ScrollBar" ? 0 : control.id] = control.rect;
    }
    return layout;
}

HWND SizeGrip(HWND dialog)
{
    return FindChild(dialog, L"ScrollBar", SBS_SIZEGRIP);
}

// Which edges of a control follow the frame: 1 for the width or height
// change, 0 for none.
struct Following {
    int id;
    int left, top, right, bottom;
};

constexpr Following kFollowing[] = {
    {IDOK, 1, 1, 1, 1},
    {IDCANCEL, 1, 1, 1, 1},
    {IDC_EXCEPTION_GROUP, 0, 0, 1, 1},
    {IDC_EXCEPTION_ICON, 0, 0, 0, 0},
    {IDC_EXCEPTION_INTRO, 0, 0, 1, 0},
    {IDC_STACK_TRACE, 0, 0, 1, 1},
    {IDC_IGNORE_HINT, 0, 1, 1, 1},
    {IDC_STOP_WARNING, 0, 1, 1, 1},
    {0, 1, 1, 1, 1}, // the size grip
};

void ExpectFollowed(const std::map<int, RECT>& before, const std::map<int, RECT>& after, int width, int height)
{
    for (const Following& edges : kFollowing) {
        SCOPED_TRACE(testing::Message() << "id " << edges.id);
        ASSERT_TRUE(before.count(edges.id) && after.count(edges.id));
        const RECT& was = before.at(edges.id);
        const RECT& is = after.at(edges.id);
        EXPECT_EQ(is.left - was.left, edges.left * width);
        EXPECT_EQ(is.top - was.top, edges.top * height);
        EXPECT_EQ(is.right - was.right, edges.right * width);
        EXPECT_EQ(is.bottom - was.bottom, edges.bottom * height);
    }
}

TEST(ExceptionDialog, ControlsFollowTheFrameWhenItGrows)
{
    const PromptedTrace prompt;
    const HWND dialog = prompt.Dialog();
    ASSERT_NE(dialog, nullptr);
    const std::map<int, RECT> before = Layout(dialog);
    const SIZE frame = FrameSize(dialog);

    constexpr int kWider = 160;
    constexpr int kTaller = 120;
    ASSERT_TRUE(ResizeWindow(dialog, {frame.cx + kWider, frame.cy + kTaller}));
    std::map<int, RECT> after;
    WaitUntil(
        [&] {
            after = Layout(dialog);
            return after[IDC_STACK_TRACE].bottom == before.at(IDC_STACK_TRACE).bottom + kTaller;
        },
        5s);
    ExpectFollowed(before, after, kWider, kTaller);

    PostClick(dialog, IDOK);
    EXPECT_EQ(prompt.Run().WaitForExit(), kIgnored);
}

TEST(ExceptionDialog, CannotBeMadeSmallerThanItsFirstSize)
{
    const PromptedTrace prompt;
    const HWND dialog = prompt.Dialog();
    ASSERT_NE(dialog, nullptr);
    const SIZE first = FrameSize(dialog);

    ASSERT_TRUE(ResizeWindow(dialog, {first.cx / 2, first.cy / 2}));
    const SIZE now = FrameSize(dialog);
    EXPECT_EQ(now.cx, first.cx);
    EXPECT_EQ(now.cy, first.cy);

    PostClick(dialog, IDOK);
    EXPECT_EQ(prompt.Run().WaitForExit(), kIgnored);
}

TEST(ExceptionDialog, SizeGripIsHiddenWhileMaximised)
{
    const PromptedTrace prompt;
    const HWND dialog = prompt.Dialog();
    ASSERT_NE(dialog, nullptr);
    const HWND grip = SizeGrip(dialog);
    ASSERT_NE(grip, nullptr) << "no size grip";
    EXPECT_TRUE(::IsWindowVisible(grip));
    const RECT traceBefore = RectInDialog(::GetDlgItem(dialog, IDC_STACK_TRACE), dialog);

    ::ShowWindowAsync(dialog, SW_MAXIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return ::IsZoomed(dialog) && !::IsWindowVisible(grip); }, 5s));
    const RECT traceMaximised = RectInDialog(::GetDlgItem(dialog, IDC_STACK_TRACE), dialog);
    EXPECT_GT(traceMaximised.right - traceMaximised.left, traceBefore.right - traceBefore.left);
    EXPECT_GT(traceMaximised.bottom - traceMaximised.top, traceBefore.bottom - traceBefore.top);

    ::ShowWindowAsync(dialog, SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsZoomed(dialog) && ::IsWindowVisible(grip); }, 5s));
    const RECT traceRestored = RectInDialog(::GetDlgItem(dialog, IDC_STACK_TRACE), dialog);
    EXPECT_EQ(traceRestored.right, traceBefore.right);
    EXPECT_EQ(traceRestored.bottom, traceBefore.bottom);

    PostClick(dialog, IDOK);
    EXPECT_EQ(prompt.Run().WaitForExit(), kIgnored);
}

// --- as tala.exe shows it ------------------------------------------------------

// Shop.exe on a runtime whose main throws, with "Failure Check" on; the
// dialog once it has shown up.
class ThrowingShop {
public:
    explicit ThrowingShop(const std::string& scenario = kThrowingScenario) : runtime_(shop_.AddRuntime(L"runtime"))
    {
        ShopFolder::Play(runtime_, scenario);
        shop_.Write(CheckingFailuresOn(runtime_));
        run_ = std::make_unique<LauncherRun>(shop_.CommandLine(), shop_.Folder());
        dialog_ = run_->WaitForDialog(kCaption, 15s);
    }

    HWND Dialog() const { return dialog_; }
    const LauncherRun& Run() const { return *run_; }
    StandInRecord Record() const { return StandInRecord::Beside(ShopFolder::VmLibraryOf(runtime_)); }

private:
    ShopFolder shop_;
    fs::path runtime_;
    std::unique_ptr<LauncherRun> run_;
    HWND dialog_ = nullptr;
};

class ExceptionDialogInTheLauncher : public testing::TestWithParam<AnswerCase> {};

TEST_P(ExceptionDialogInTheLauncher, ShowsTheRuntimesTraceAndEndsTheApplicationAsChosen)
{
    const ThrowingShop shop;
    ASSERT_NE(shop.Dialog(), nullptr) << "no \"Java Exception\" dialog; exit code "
                                      << shop.Run().WaitForExit(0ms).value_or(0) << "\n"
                                      << shop.Record().Text();
    // Word for word what the runtime's printStackTrace printed.
    EXPECT_EQ(ControlText(shop.Dialog(), IDC_STACK_TRACE), kThrownTrace);

    GetParam().act(shop.Dialog());
    EXPECT_EQ(shop.Run().WaitForExit(15s), GetParam().stop ? kStopped : 0u) << shop.Record().Text();
    const StandInRecord record = shop.Record();
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    // Stop ends the application through System.exit(-1); after Ignore the
    // VM ends as after a normal return.
    const std::vector<std::u16string> exits = record.Firsts("exit-hook");
    if (GetParam().stop) {
        EXPECT_EQ(exits, std::vector<std::u16string>{u"-1"}) << record.Text();
    } else {
        EXPECT_TRUE(exits.empty()) << record.Text();
        const std::vector<std::string> calls = record.Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), "DestroyJavaVM"), calls.end()) << record.Text();
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, ExceptionDialogInTheLauncher, testing::ValuesIn(AnswerCases()),
                         CaseName<AnswerCase>);

TEST(ExceptionDialogInTheLauncher, WithoutATraceThereIsNoDialogAndTheApplicationEndsAsAfterIgnore)
{
    // A runtime without the classes a trace is printed with: the launcher
    // reports what failed on standard error and carries on.
    const ThrowingShop shop(std::string(kThrowingScenario) + "printable-traces=no\n");
    EXPECT_EQ(shop.Dialog(), nullptr);
    EXPECT_EQ(shop.Run().WaitForExit(15s), 0u);
    const StandInRecord record = shop.Record();
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    EXPECT_EQ(record.Firsts("exception-describe"), std::vector<std::u16string>{u"java/lang/NoClassDefFoundError"})
        << record.Text();
    const std::vector<std::string> calls = record.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "DestroyJavaVM"), calls.end()) << record.Text();
}

} // namespace
} // namespace tala::test
