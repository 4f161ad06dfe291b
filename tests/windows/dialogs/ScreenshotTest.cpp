// Pictures of both dialogs as the user sees them, at the screen's DPI, for
// the README: given --screenshots=FOLDER, each test saves
// FOLDER\<dialog>-<dpi>dpi.png. Without the option they are skipped. The
// exception dialog shows a sample trace of a real application's length.
#include "resources/DialogIds.h"
#include "tests/windows/dialogs/DialogTesting.h"
#include "tests/windows/dialogs/ExceptionScenario.h"
#include "tests/windows/dialogs/LauncherRun.h"
#include "tests/windows/dialogs/Screen.h"
#include "tests/windows/dialogs/ShopFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

struct ArgumentsFreer {
    void operator()(LPWSTR* arguments) const { ::LocalFree(arguments); }
};

// The folder named by --screenshots=, a Windows path or a host path (Wine
// shows the host's root as Z:).
std::optional<fs::path> ScreenshotFolder()
{
    constexpr std::wstring_view kOption = L"--screenshots=";
    int count = 0;
    const std::unique_ptr<LPWSTR, ArgumentsFreer> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    for (int i = 1; arguments && i < count; ++i) {
        std::wstring argument = arguments.get()[i];
        if (!argument.starts_with(kOption)) continue;
        std::wstring path = argument.substr(kOption.size());
        if (path.starts_with(L"/")) {
            std::replace(path.begin(), path.end(), L'/', L'\\');
            path = L"Z:" + path;
        }
        return fs::path(path);
    }
    return std::nullopt;
}

int ScreenDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// Saves the dialog's picture; the dialog is drawn for the screen's DPI, so
// it is at least as wide as its template's units at 1.5 pixels per unit,
// scaled by the DPI (a dialog unit of an 8 point font is 1.5 pixels or more).
void SaveScreenshot(HWND dialog, int templateWidth, const std::string& name)
{
    const std::optional<fs::path> folder = ScreenshotFolder();
    ASSERT_TRUE(folder);
    // The pointer would show a tooltip over the link.
    ::SetCursorPos(0, 0);
    const int dpi = ScreenDpi();
    const Picture picture = CaptureSettledWindow(dialog, 5s);
    ASSERT_FALSE(picture.Empty());
    EXPECT_GE(picture.width, templateWidth * 3 / 2 * dpi / 96);
    fs::create_directories(*folder);
    const fs::path file = *folder / (name + "-" + std::to_string(dpi) + "dpi.png");
    EXPECT_TRUE(SavePng(picture, file)) << file;
}

TEST(Screenshot, RuntimeNotFoundDialog)
{
    if (!ScreenshotFolder()) GTEST_SKIP() << "no --screenshots=FOLDER";
    ShopFolder shop;
    shop.Write(RequiringRuntime(u"17", u"any"));
    const LauncherRun run(shop.CommandLine(), shop.Folder());
    const HWND dialog = run.WaitForDialog(L"JRE Not Found");
    ASSERT_NE(dialog, nullptr);

    SaveScreenshot(dialog, 219, "jre-not-found");
    PostClick(dialog, IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), 0xFFFFFFFFu);
}

TEST(Screenshot, JavaExceptionDialog)
{
    if (!ScreenshotFolder()) GTEST_SKIP() << "no --screenshots=FOLDER";
    const TempFolder folder;
    const std::unique_ptr<LauncherRun> run = StartExceptionPrompt(folder.Path(), SampleStackTrace());
    const HWND dialog = run->WaitForDialog(L"Java Exception");
    ASSERT_NE(dialog, nullptr);

    SaveScreenshot(dialog, 275, "java-exception");
    PostClick(dialog, IDOK);
    EXPECT_EQ(run->WaitForExit(), 0u);
}

} // namespace
} // namespace tala::test
