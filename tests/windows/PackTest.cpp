// tala-pack.exe (--pack=PATH) branding tala.exe, read back through Windows.
#include "tests/shared/StartCases.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherProcess.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/Screen.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

std::optional<std::uint32_t> RunPackTool(const std::vector<std::wstring>& words)
{
    std::wstring commandLine = L"\"" + PathOption(L"--pack=").wstring() + L"\"";
    for (const std::wstring& word : words) commandLine += L" \"" + word + L"\"";
    return LauncherProcess(commandLine, {}).WaitForExit(30s);
}

// An .ico of 32-bit bitmap images, each of one colour (0xRRGGBB).
std::string IconFile(const std::vector<std::pair<int, std::uint32_t>>& images)
{
    const auto put = [](std::string& bytes, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    std::string directory;
    std::string data;
    put(directory, 0, 2);
    put(directory, 1, 2);
    put(directory, static_cast<std::uint32_t>(images.size()), 2);
    for (const auto& [size, colour] : images) {
        const auto side = static_cast<std::uint32_t>(size);
        std::string image;
        for (const std::uint32_t value : {40u, side, side * 2, 1u | 32u << 16, 0u, 0u, 0u, 0u, 0u, 0u}) {
            put(image, value, 4);
        }
        for (std::uint32_t i = 0; i < side * side; ++i) put(image, 0xFF000000u | colour, 4);
        image.append(static_cast<std::size_t>((side + 31) / 32 * 4 * side), '\0'); // the AND mask: all shown
        put(directory, side | side << 8, 4); // width, height, no palette
        put(directory, 1u | 32u << 16, 4);   // planes, bits
        put(directory, static_cast<std::uint32_t>(image.size()), 4);
        put(directory, static_cast<std::uint32_t>(6 + 16 * images.size() + data.size()), 4);
        data += image;
    }
    return directory + data;
}

// The colour in the middle of an icon drawn at its size.
std::uint32_t IconColour(HICON icon, int size)
{
    Canvas canvas(size, size);
    canvas.Fill(0x808080);
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return canvas.Read().At(size / 2, size / 2).value_or(0);
}

std::wstring VersionString(const std::vector<char>& block, const std::wstring& name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"<missing>";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

std::string ResourceOf(HMODULE module, int id, LPCWSTR type)
{
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    const void* data = ::LockResource(::LoadResource(module, found));
    return std::string(static_cast<const char*>(data), ::SizeofResource(module, found));
}

TEST(Pack, BrandedLauncherReadsBackThroughWindows)
{
    const TempFolder folder;
    WriteBytes(folder.Path() / "shop.ico", IconFile({{16, 0x0000FF}, {32, 0xFF0000}, {48, 0x00FF00}}));
    const std::vector<std::pair<std::wstring, std::wstring>> strings = {
        {L"FileVersion", L"1.2.3.4"},       {L"ProductVersion", L"5.6"},
        {L"CompanyName", L"Example Shop"},  {L"FileDescription", L"Shop \u00e0 la carte"},
        {L"ProductName", L"Shop"},          {L"LegalCopyright", L"\u00a9 2025 Example"},
        {L"OriginalFilename", L"Shop.exe"}, {L"InternalName", L"shop"},
        {L"Comments", L"Built on Linux"}};
    const fs::path shop = folder.Path() / "Shop.exe";
    std::vector<std::wstring> words = {L"--launcher", LauncherPath().wstring(), L"--output", shop.wstring(),
        L"--icon", (folder.Path() / "shop.ico").wstring(), L"--execution-level", L"highestAvailable"};
    for (const auto& [name, value] : strings) words.insert(words.end(), {L"--version", name + L"=" + value});
    ASSERT_EQ(RunPackTool(words), 0u);

    std::vector<char> block(::GetFileVersionInfoSizeW(shop.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(shop.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    for (const auto& [name, value] : strings) EXPECT_EQ(VersionString(block, name), value) << name;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(std::vector<DWORD>({fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS}),
              std::vector<DWORD>({0x00010002, 0x00030004, 0x00050006, 0}));

    // One size a call: asked for both in one call, Wine 8 gives the large image twice.
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(::ExtractIconExW(shop.c_str(), 0, &large, nullptr, 1), 1u);
    ASSERT_EQ(::ExtractIconExW(shop.c_str(), 0, nullptr, &small, 1), 1u);
    EXPECT_EQ(IconColour(large, 32), 0xFF0000u);
    EXPECT_EQ(IconColour(small, 16), 0x0000FFu);
    ::DestroyIcon(large);
    ::DestroyIcon(small);

    const HMODULE module = ::LoadLibraryExW(shop.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const std::string group = ResourceOf(module, 1, RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(group[4], 3) << "every image of the file is in the group";
    const std::string manifest = ResourceOf(module, 1, RT_MANIFEST);
    EXPECT_NE(manifest.find("level=\"highestAvailable\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
    EXPECT_FALSE(ResourceOf(module, 201, RT_DIALOG).empty());
    EXPECT_FALSE(ResourceOf(module, 231, RT_DIALOG).empty());
    std::wstring text(256, L'\0');
    text.resize(static_cast<std::size_t>(::LoadStringW(module, 210, text.data(), 256)));
    EXPECT_EQ(std::u16string(text.begin(), text.end()), MessageOf(210));
    ::FreeLibrary(module);
}

// The icon reader's refusal is tested only here, where a Windows launcher is at hand.
TEST(Pack, RefusesAnIconWithAnImageBeyondItsEnd)
{
    const TempFolder folder;
    const std::string icon = IconFile({{16, 0}});
    WriteBytes(folder.Path() / "broken.ico", icon.substr(0, icon.size() - 1));
    EXPECT_EQ(RunPackTool({L"--launcher", LauncherPath().wstring(), L"--output", (folder.Path() / "Shop.exe").wstring(),
                           L"--icon", (folder.Path() / "broken.ico").wstring()}), 1u);
    EXPECT_FALSE(fs::exists(folder.Path() / "Shop.exe"));
}

} // namespace
} // namespace tala::test
