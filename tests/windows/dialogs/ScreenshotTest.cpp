// Both dialogs as the user first sees them at the screen's DPI: centred in
// the work area, the error icon painted, drawn for the DPI. Given
// --screenshots=FOLDER, each is saved as FOLDER\<dialog>-<dpi>dpi.png for
// the README; the exception dialog shows a trace of a real application's
// length.
#include "resources/DialogIds.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/Screen.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"
#include "tests/windows/dialogs/PromptedTrace.h"
#include "tests/windows/driver/ScreenIcon.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string_view>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

struct ArgumentsFreer {
    void operator()(LPWSTR* arguments) const { ::LocalFree(arguments); }
};

// The folder named by --screenshots=, a Windows path or a host path (Wine
// shows the host's root as Z:); empty without the option.
fs::path ScreenshotFolder()
{
    constexpr std::wstring_view kOption = L"--screenshots=";
    int count = 0;
    const std::unique_ptr<LPWSTR, ArgumentsFreer> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    for (int i = 1; arguments && i < count; ++i) {
        const std::wstring_view argument = arguments.get()[i];
        if (!argument.starts_with(kOption)) continue;
        const std::wstring path(argument.substr(kOption.size()));
        return fs::path(path.starts_with(L"/") ? L"Z:" + path : path).make_preferred();
    }
    return {};
}

// The dialog as the user sees it, judged and saved. A dialog unit of an 8
// point font is 1.5 pixels or more at 96 DPI, so a dialog drawn for the
// screen's DPI is at least as wide as its template's units at 1.5 pixels
// per unit, scaled by the DPI.
void JudgeAndSave(HWND dialog, int iconId, int templateWidth, const std::string& name)
{
    // The pointer would show a tooltip over the link.
    ::SetCursorPos(0, 0);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr) << "no owner to centre over";
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT frame{};
    ::GetWindowRect(dialog, &frame);
    const RECT& area = monitor.rcWork;
    EXPECT_NEAR(frame.left - area.left, area.right - frame.right, 1);
    EXPECT_NEAR(frame.top - area.top, area.bottom - frame.bottom, 1);
    const HWND icon = ::GetDlgItem(dialog, iconId);
    EXPECT_TRUE(WaitUntil([icon] { return IconShownBy(icon) == DialogIcon::Error; }, 5s)) << IconShownBy(icon);

    const os::ScreenDc screen(::GetDC(nullptr));
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    const Picture picture = CaptureSettledWindow(dialog, 5s);
    EXPECT_GE(picture.width, templateWidth * 3 / 2 * dpi / 96);
    const fs::path folder = ScreenshotFolder();
    if (folder.empty()) return;
    fs::create_directories(folder);
    const fs::path file = folder / (name + "-" + std::to_string(dpi) + "dpi.png");
    EXPECT_TRUE(SavePng(picture, file)) << file;
}

TEST(Screenshot, RuntimeNotFoundDialog)
{
    ShopFolder shop;
    shop.Write(u"Minimum Version=17\r\nMaximum Version=any");
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    const HWND dialog = launch.WaitForDialog(L"JRE Not Found");
    ASSERT_NE(dialog, nullptr);

    JudgeAndSave(dialog, IDC_NOT_FOUND_ICON, 219, "jre-not-found");
    PostClick(dialog, IDCANCEL);
    EXPECT_EQ(launch.WaitForExit(), 0xFFFFFFFFu);
}

TEST(Screenshot, JavaExceptionDialog)
{
    const PromptedTrace prompt;
    ASSERT_NE(prompt.dialog, nullptr);

    JudgeAndSave(prompt.dialog, IDC_EXCEPTION_ICON, 275, "java-exception");
    PostClick(prompt.dialog, IDOK);
    EXPECT_EQ(prompt.prompt.WaitForExit(), 0u);
}

} // namespace
} // namespace tala::test
