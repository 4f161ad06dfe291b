// The "Java Exception" dialog under Wine: as tala.exe (renamed Shop.exe)
// shows it when main throws on the stand-in VM library with "Failure Check"
// on (the trace the runtime prints, what each answer does to the
// application); and on its own for a long sample trace (scrolling, resizing).
#include "resources/DialogIds.h"
#include "tests/shared/CaseName.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"
#include "tests/windows/dialogs/PromptedTrace.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <utility>

namespace tala::test {
namespace {

constexpr wchar_t kCaption[] = L"Java Exception";
constexpr std::uint32_t kIgnored = 0; // of the prompt program

bool Called(const StandInRecord& record, const std::string& function)
{
    const std::vector<std::string> calls = record.Calls();
    return std::find(calls.begin(), calls.end(), function) != calls.end();
}

// A runtime whose main throws (and does what the scenario adds), named by
// Shop.ini with "Failure Check" on.
std::filesystem::path AddThrowingRuntime(const ShopFolder& shop, const std::string& scenario)
{
    const std::filesystem::path runtime = shop.AddRuntime(L"runtime");
    ShopFolder::Play(runtime, "main=throw\n" + scenario);
    shop.Write(u"JRE Path=" + runtime.u16string() + u"\r\n[Application]\r\nFailure Check=yes");
    return runtime;
}

// --- as tala.exe shows it ---------------------------------------------------

struct AnswerCase {
    std::string name;
    void (*answer)(HWND dialog);
    bool stop;
};

void PrintTo(const AnswerCase& tested, std::ostream* out)
{
    *out << tested.name;
}

class ExceptionDialogInTheLauncher : public testing::TestWithParam<AnswerCase> {};

TEST_P(ExceptionDialogInTheLauncher, ShowsTheRuntimesTraceAndEndsTheApplicationAsChosen)
{
    const ShopFolder shop;
    const std::filesystem::path runtime = AddThrowingRuntime(shop, "");
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    const HWND dialog = launch.WaitForDialog(kCaption);
    ASSERT_NE(dialog, nullptr) << "no dialog; exit code " << launch.WaitForExit(0ms).value_or(0) << "\n"
                               << ShopFolder::RecordOf(runtime).Text();
    // Word for word what the runtime's printStackTrace printed.
    EXPECT_EQ(ControlText(dialog, IDC_STACK_TRACE),
              L"java.lang.IllegalStateException\r\n\tat shop.App.main(App.java:3)\r\n");

    GetParam().answer(dialog);
    EXPECT_EQ(launch.WaitForExit(), GetParam().stop ? 0xFFFFFFFF : 0u);
    const StandInRecord record = ShopFolder::RecordOf(runtime);
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    // Stop ends the application through System.exit(-1); after Ignore the
    // VM ends as after a normal return.
    const std::vector<std::u16string> exits = record.Firsts("exit-hook");
    EXPECT_EQ(exits, GetParam().stop ? std::vector<std::u16string>{u"-1"} : std::vector<std::u16string>{})
        << record.Text();
    if (!GetParam().stop) {
        EXPECT_TRUE(Called(record, "DestroyJavaVM")) << record.Text();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ExceptionDialogInTheLauncher,
    testing::Values(AnswerCase{"Ignore", [](HWND dialog) { PostClick(dialog, IDOK); }, false},
                    AnswerCase{"Stop", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, true},
                    AnswerCase{"Escape", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }, true},
                    AnswerCase{"close box", PostCloseBox, true}),
    CaseName<AnswerCase>);

TEST(ExceptionDialogInTheLauncher, WithoutATraceThereIsNoDialogAndTheApplicationEndsAsAfterIgnore)
{
    // A runtime without the classes a trace is printed with: the launcher
    // reports what failed on standard error and carries on.
    const ShopFolder shop;
    const std::filesystem::path runtime = AddThrowingRuntime(shop, "printable-traces=no\n");
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    EXPECT_EQ(launch.WaitForDialog(kCaption), nullptr);
    EXPECT_EQ(launch.WaitForExit(), 0u);
    const StandInRecord record = ShopFolder::RecordOf(runtime);
    EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    EXPECT_EQ(record.Firsts("exception-describe"), std::vector<std::u16string>{u"java/lang/NoClassDefFoundError"})
        << record.Text();
    EXPECT_TRUE(Called(record, "DestroyJavaVM")) << record.Text();
}

// --- on its own: a long trace -----------------------------------------------

TEST(ExceptionDialog, ShowsALongTraceReadOnlyAndScrolled)
{
    const PromptedTrace prompt;
    ASSERT_NE(prompt.dialog, nullptr);
    const HWND trace = ::GetDlgItem(prompt.dialog, IDC_STACK_TRACE);
    EXPECT_EQ(TextOf(trace), SampleStackTrace());
    EXPECT_NE(::GetWindowLongW(trace, GWL_STYLE) & ES_READONLY, 0) << "the trace can be changed";

    DWORD_PTR firstLine = 0;
    ::SendMessageTimeoutW(trace, WM_VSCROLL, SB_PAGEDOWN, 0, SMTO_ABORTIFHUNG, 5000, &firstLine);
    ::SendMessageTimeoutW(trace, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &firstLine);
    EXPECT_GT(firstLine, 0u) << "the trace does not scroll";

    PostClick(prompt.dialog, IDOK);
    EXPECT_EQ(prompt.prompt.WaitForExit(), kIgnored);
}

// --- on its own: resizing ---------------------------------------------------

// The controls' rectangles in the dialog's client coordinates, by id; the
// size grip as 0.
std::map<int, RECT> Layout(HWND dialog)
{
    std::map<int, RECT> layout;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child)) {
            layout[ClassNameOf(child) == L"ScrollBar" ? 0 : ::GetDlgCtrlID(child)] = RectInDialog(child, dialog);
        }
    }
    return layout;
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

// What is not where a change of the frame by width and height should have
// put it; empty when every control has followed.
std::string NotFollowing(const std::map<int, RECT>& first, const std::map<int, RECT>& now, int width, int height)
{
    std::ostringstream out;
    for (const Following& edges : kFollowing) {
        const RECT was = first.contains(edges.id) ? first.at(edges.id) : RECT{};
        const RECT expected{was.left + edges.left * width, was.top + edges.top * height,
                            was.right + edges.right * width, was.bottom + edges.bottom * height};
        const RECT is = now.contains(edges.id) ? now.at(edges.id) : RECT{};
        if (!first.contains(edges.id) || !now.contains(edges.id) || !::EqualRect(&is, &expected)) {
            out << " id " << edges.id << " at (" << is.left << "," << is.top << ")-(" << is.right << ","
                << is.bottom << ");";
        }
    }
    return out.str();
}

// Empty once every control has followed the change, within the time.
std::string FollowedAfter(HWND dialog, const std::map<int, RECT>& first, int width, int height)
{
    std::string mismatch;
    WaitUntil([&] { return (mismatch = NotFollowing(first, Layout(dialog), width, height)).empty(); }, 5s);
    return mismatch;
}

TEST(ExceptionDialog, ControlsFollowTheFrameWhichStaysAtLeastItsFirstSize)
{
    const PromptedTrace prompt;
    const HWND dialog = prompt.dialog;
    ASSERT_NE(dialog, nullptr);
    const std::map<int, RECT> first = Layout(dialog);
    const SIZE frame = FrameSize(dialog);

    ASSERT_TRUE(ResizeWindow(dialog, {frame.cx + 160, frame.cy + 120}));
    EXPECT_EQ(FollowedAfter(dialog, first, 160, 120), "");
    ASSERT_TRUE(ResizeWindow(dialog, {frame.cx / 2, frame.cy / 2}));
    EXPECT_EQ(std::pair(FrameSize(dialog).cx, FrameSize(dialog).cy), std::pair(frame.cx, frame.cy));
    EXPECT_EQ(FollowedAfter(dialog, first, 0, 0), "");

    // Maximised, the trace grows and the size grip has no corner to sit in.
    ::ShowWindowAsync(dialog, SW_MAXIMIZE);
    const LONG traceBottom = first.at(IDC_STACK_TRACE).bottom;
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::map<int, RECT> now = Layout(dialog);
            return ::IsZoomed(dialog) && !now.contains(0) && now[IDC_STACK_TRACE].bottom > traceBottom;
        },
        5s));
    ::ShowWindowAsync(dialog, SW_RESTORE);
    EXPECT_EQ(FollowedAfter(dialog, first, 0, 0), "");

    PostClick(dialog, IDOK);
    EXPECT_EQ(prompt.prompt.WaitForExit(), kIgnored);
}

} // namespace
} // namespace tala::test
