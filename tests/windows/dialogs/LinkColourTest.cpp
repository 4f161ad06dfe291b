// The colour of the download link: the user's browser link colour when the
// settings hold one, blue otherwise; judged by the pixels on the screen.
#include "os/windows/HyperLinkControl.h"
#include "os/windows/UniqueHandle.h"
#include "resources/DialogIds.h"
#include "tests/windows/dialogs/DialogTesting.h"
#include "tests/windows/dialogs/LauncherRun.h"
#include "tests/windows/dialogs/Screen.h"
#include "tests/windows/dialogs/ShopFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <vector>

namespace tala::test {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr wchar_t kLinkColour[] = L"Anchor Color";

TEST(ColourTriple, ReadsThreeDecimalNumbersSeparatedByCommas)
{
    struct Case {
        std::wstring_view text;
        std::optional<COLORREF> colour;
    };
    const Case cases[] = {
        {L"0,0,255", RGB(0, 0, 255)},
        {L"128,0,128", RGB(128, 0, 128)},
        {L"255,255,255", RGB(255, 255, 255)},
        {L"1, 2 ,3", RGB(1, 2, 3)},
        {L"007,08,9", RGB(7, 8, 9)},
        {L"", std::nullopt},
        {L"0,0", std::nullopt},
        {L"0,0,0,0", std::nullopt},
        {L"0,,0", std::nullopt},
        {L"256,0,0", std::nullopt},
        {L"-1,0,0", std::nullopt},
        {L"0x10,0,0", std::nullopt},
        {L"1000,0,0", std::nullopt},
        {L"red", std::nullopt},
    };
    for (const Case& tested : cases) {
        EXPECT_EQ(os::ParseColourTriple(tested.text), tested.colour)
            << testing::PrintToString(std::wstring(tested.text));
    }
}

// The user's link colour set (or removed) for one test; what was there
// before, key or value, is put back afterwards.
class ScopedLinkColour {
public:
    explicit ScopedLinkColour(const std::optional<std::wstring>& value)
    {
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                              &disposition) != ERROR_SUCCESS) {
            return;
        }
        key_.reset(key);
        createdKey_ = disposition == REG_CREATED_NEW_KEY;
        previous_ = Read();
        if (value) {
            Write(*value);
        } else {
            ::RegDeleteValueW(key_.get(), kLinkColour);
        }
    }
    ~ScopedLinkColour()
    {
        if (!key_) return;
        if (previous_) {
            Write(*previous_);
        } else {
            ::RegDeleteValueW(key_.get(), kLinkColour);
        }
        key_.reset();
        if (createdKey_) ::RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
    }
    ScopedLinkColour(const ScopedLinkColour&) = delete;
    ScopedLinkColour& operator=(const ScopedLinkColour&) = delete;

    bool Ready() const { return key_ != nullptr; }

private:
    std::optional<std::wstring> Read() const
    {
        wchar_t data[256] = {};
        DWORD size = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(key_.get(), kLinkColour, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        return std::wstring(data);
    }
    void Write(const std::wstring& value) const
    {
        ::RegSetValueExW(key_.get(), kLinkColour, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    os::UniqueRegistryKey key_;
    bool createdKey_ = false;
    std::optional<std::wstring> previous_;
};

struct ColourCase {
    std::string name;
    std::optional<std::wstring> setting;
    COLORREF expected;
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
    ASSERT_TRUE(colour.Ready());
    ShopFolder shop;
    shop.Write({});
    const LauncherRun run(shop.CommandLine(), shop.Folder());
    const HWND dialog = run.WaitForDialog(L"JRE Not Found");
    ASSERT_NE(dialog, nullptr);

    // The underline is a run of pixels of exactly the link colour, however
    // the text itself is smoothed.
    const HWND link = ::GetDlgItem(dialog, IDC_DOWNLOAD_LINK);
    RECT area{};
    ::GetWindowRect(link, &area);
    constexpr std::size_t kUnderline = 40;
    Picture shot;
    WaitUntil(
        [&] {
            shot = CaptureScreen(area);
            return shot.Count(tested.expected) >= kUnderline;
        },
        5s);
    EXPECT_GE(shot.Count(tested.expected), kUnderline);
    if (tested.expected != RGB(0, 0, 255)) {
        EXPECT_EQ(shot.Count(RGB(0, 0, 255)), 0u);
    }

    PostClick(dialog, IDCANCEL);
    EXPECT_EQ(run.WaitForExit(), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LinkColour,
    testing::Values(ColourCase{"blue without a setting", std::nullopt, RGB(0, 0, 255)},
                    ColourCase{"the users link colour", L"0,128,0", RGB(0, 128, 0)},
                    ColourCase{"blue when the setting is no colour", L"0,128", RGB(0, 0, 255)}),
    CaseName<ColourCase>);

} // namespace
} // namespace tala::test
