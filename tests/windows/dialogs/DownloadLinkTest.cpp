// The download link of "JRE Not Found" as the pointer meets it: the user's
// browser link colour when the settings hold one, blue otherwise, judged by
// the pixels on the screen; and the hand cursor, which a link control of
// this process sets (a cursor of another process cannot be compared here:
// Wine keeps cursors per process).
#include "os/windows/HyperLinkControl.h"
#include "resources/DialogIds.h"
#include "tests/shared/CaseName.h"
#include "tests/windows/ForeignWindows.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/Screen.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

namespace tala::test {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr wchar_t kLinkColour[] = L"Anchor Color";
constexpr std::uint32_t kBlue = 0x0000FF;

TEST(ColourTriple, ReadsThreeDecimalNumbersSeparatedByCommas)
{
    struct Case {
        std::wstring_view text;
        std::optional<COLORREF> colour;
    };
    const Case cases[] = {
        {L"0,0,255", RGB(0, 0, 255)}, {L"128,0,128", RGB(128, 0, 128)}, {L"1, 2 ,3", RGB(1, 2, 3)},
        {L"007,08,9", RGB(7, 8, 9)},  {L"", std::nullopt},              {L"0,0", std::nullopt},
        {L"0,0,0,0", std::nullopt},   {L"0,,0", std::nullopt},          {L"256,0,0", std::nullopt},
        {L"-1,0,0", std::nullopt},    {L"0x10,0,0", std::nullopt},      {L"red", std::nullopt},
    };
    for (const Case& tested : cases) {
        EXPECT_EQ(os::ParseColourTriple(tested.text), tested.colour)
            << testing::PrintToString(std::wstring(tested.text));
    }
}

// The user's link colour set (or removed) for one test, and what was there
// before put back.
class ScopedLinkColour {
public:
    explicit ScopedLinkColour(const std::optional<std::wstring>& value) : previous_(Read()) { Set(value); }
    ~ScopedLinkColour() { Set(previous_); }
    ScopedLinkColour(const ScopedLinkColour&) = delete;
    ScopedLinkColour& operator=(const ScopedLinkColour&) = delete;

    static std::optional<std::wstring> Read()
    {
        wchar_t data[256] = {};
        DWORD size = sizeof data;
        if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kLinkColour, RRF_RT_REG_SZ, nullptr, data, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(data);
    }

private:
    static void Set(const std::optional<std::wstring>& value)
    {
        if (!value) {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kLinkColour);
            return;
        }
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kLinkColour, REG_SZ, value->c_str(),
                          static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    }

    std::optional<std::wstring> previous_;
};

TEST(DownloadLink, ShowsTheHandCursor)
{
    const os::UniqueWindow parent(::CreateWindowExW(0, L"Static", nullptr, WS_POPUP, 0, 0, 200, 40, nullptr, nullptr,
                                                    nullptr, nullptr));
    const os::UniqueWindow control(::CreateWindowExW(0, L"Static", L"https://adoptium.net/", WS_CHILD | WS_VISIBLE,
                                                     0, 0, 200, 20, parent.get(), nullptr, nullptr, nullptr));
    os::HyperLinkControl link;
    ASSERT_TRUE(link.Attach(control.get()));

    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(control.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(control.get()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

struct ColourCase {
    std::string name;
    std::optional<std::wstring> setting;
    std::uint32_t expected; // 0xRRGGBB
};

void PrintTo(const ColourCase& tested, std::ostream* out)
{
    *out << tested.name;
}

class LinkColour : public testing::TestWithParam<ColourCase> {};

TEST_P(LinkColour, IsTheUsersLinkColourOrBlue)
{
    const ColourCase& tested = GetParam();
    const ScopedLinkColour colour(tested.setting);
    ASSERT_EQ(ScopedLinkColour::Read(), tested.setting);
    ShopFolder shop;
    shop.Write(u"");
    const LauncherProcess launch(shop.CommandLine(), shop.Folder());
    const HWND dialog = launch.WaitForDialog(L"JRE Not Found");
    ASSERT_NE(dialog, nullptr);

    // The underline is a run of pixels of exactly the link colour, however
    // the text itself is smoothed.
    RECT area{};
    ::GetWindowRect(::GetDlgItem(dialog, IDC_DOWNLOAD_LINK), &area);
    constexpr std::size_t kUnderline = 40;
    Picture shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = CaptureScreen(area);
            return shot.Count(tested.expected) >= kUnderline;
        },
        5s));
    if (tested.expected != kBlue) {
        EXPECT_EQ(shot.Count(kBlue), 0u);
    }

    PostClick(dialog, IDCANCEL);
    EXPECT_EQ(launch.WaitForExit(), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Settings, LinkColour,
                         testing::Values(ColourCase{"blue without a setting", std::nullopt, kBlue},
                                         ColourCase{"the users link colour", L"0,128,0", 0x008000},
                                         ColourCase{"blue when the setting is no colour", L"0,128", kBlue}),
                         CaseName<ColourCase>);

} // namespace
} // namespace tala::test
