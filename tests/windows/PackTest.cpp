// tala-pack.exe branding tala.exe under Wine, and the branded launcher as
// Windows reads it back: its version information, its icon, its manifest and
// its other resources, and the settings it carries under the layered lookup,
// started on the stand-in VM library. And what the tool refuses.
//
// The test is given the launcher and the tool: --launcher=PATH --pack=PATH.
#include "os/windows/UniqueHandle.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/shared/StartCases.h"
#include "tests/windows/ProgramsBeside.h"
#include "tests/windows/Screen.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct ToolRun {
    std::uint32_t exitCode = 0xFFFFFFFF;
    std::string errors;
};

// tala-pack.exe with these words, its standard error kept in a file of a
// folder of its own.
ToolRun RunPackTool(const std::vector<std::wstring>& words)
{
    const TempFolder streams;
    const fs::path errorFile = streams.Path() / "errors.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const os::UniqueHandle errors(os::ValidOrNull(::CreateFileW(
        errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr)));
    std::wstring commandLine = L"\"" + PathOption(L"--pack=").wstring() + L"\"";
    for (const std::wstring& word : words) commandLine += L" \"" + word + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = errors.get();
    PROCESS_INFORMATION process{};
    ToolRun run;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        run.errors = "cannot start tala-pack: error " + std::to_string(::GetLastError());
        return run;
    }
    const os::UniqueHandle processHandle(process.hProcess);
    const os::UniqueHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 124);
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    run.exitCode = exitCode;
    run.errors = ReadBytes(errorFile);
    return run;
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
    std::vector<std::wstring> words = {L"--launcher",
                                       LauncherPath().wstring(),
                                       L"--output",
                                       shop.wstring(),
                                       L"--icon",
                                       (folder.Path() / "shop.ico").wstring(),
                                       L"--execution-level",
                                       L"highestAvailable"};
    for (const auto& [name, value] : strings) words.insert(words.end(), {L"--version", name + L"=" + value});
    const ToolRun pack = RunPackTool(words);
    ASSERT_EQ(pack.exitCode, 0u) << pack.errors;

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

    // The loader picks the image of each size from the group. (Asked for
    // both sizes in one call, Wine 8 gives the large image twice.)
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

// The carried settings run shop.App with "Cmd=carried"; the settings file
// beside the executable holds the code and what each case adds.
TEST(Pack, CarriedSettingsGoUnderTheSettingsFile)
{
    struct Case {
        const char* rule;
        std::u16string besideFile;
        std::optional<std::vector<std::u16string>> arguments; // none: main is not reached
        std::u16string message;                               // empty: no message box
    };
    const std::u16string code = u"[Product Information]\r\nUpgrade Code=code-1\r\n";
    const Case cases[] = {
        {"the code alone opens the carried settings", code, std::vector<std::u16string>{u"carried"}, u""},
        {"another code opens nothing", u"[Product Information]\r\nUpgrade Code=code-2\r\n", std::nullopt,
         MessageOf(210)},
        {"the file's own key replaces the carried one", code + u"[Application]\r\nCmd=own\r\n",
         std::vector<std::u16string>{u"own"}, u""},
        {"a + section extends the carried key", code + u"[Application+]\r\nCmd=more\r\n",
         std::vector<std::u16string>{u"carried", u"more"}, u""},
    };
    for (const Case& c : cases) {
        const ShopFolder shop;
        const fs::path runtime = shop.Home();
        const TempFolder carried;
        // As Windows tools write settings files: UTF-16 with a byte-order mark.
        WriteBytes(carried.Path() / "carry.ini",
                   Utf16LeWithBom(u"[Product Information]\r\nUpgrade Code=code-1\r\n"
                                  u"[Java Runtime Environment]\r\nMain Class=shop.App\r\nJRE Path=" +
                                  runtime.u16string() + u"\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n"
                                  u"[Application]\r\nCmd=carried\r\n"));
        const fs::path exe = shop.Folder() / "Shop.exe";
        const ToolRun pack = RunPackTool({L"--launcher", exe.wstring(), L"--output", exe.wstring(),
                                          L"--settings", (carried.Path() / "carry.ini").wstring()});
        ASSERT_EQ(pack.exitCode, 0u) << c.rule << ": " << pack.errors;
        WriteBytes(shop.Folder() / "Shop.ini", Utf16LeWithBom(c.besideFile));

        const Outcome outcome =
            RunTarget({shop.CommandLine(), shop.Folder().wstring(), 15s}, ClickOnEvery(IDOK));
        const StandInRecord record = shop.Record();
        EXPECT_FALSE(outcome.timedOut) << c.rule;
        EXPECT_EQ(outcome.exitCode, c.arguments ? 0u : 0xFFFFFFFFu) << c.rule << "\n" << record.Text();
        EXPECT_EQ(record.Arguments(), c.arguments) << c.rule << "\n" << record.Text();
        if (c.arguments) {
            const fs::path jar = shop.Folder() / "lib" / "app.jar";
            ASSERT_FALSE(record.Values("option").empty()) << c.rule;
            EXPECT_EQ(record.Values("option").front(), "none -Djava.class.path=" + Ansi(jar.wstring()) + ";")
                << c.rule << "\n" << record.Text();
        }
        ASSERT_EQ(outcome.dialogs.size(), c.message.empty() ? 0u : 1u) << c.rule;
        const DialogControl* text = c.message.empty() ? nullptr : outcome.dialogs[0].Control(0xFFFF);
        if (text != nullptr) {
            EXPECT_EQ(std::u16string(text->text.begin(), text->text.end()), c.message) << c.rule;
        }
    }
}

TEST(Pack, RefusesBadWindowsInputNamingTheFileAndWritesNothing)
{
    struct Case {
        const char* rule;
        std::vector<std::wstring> words; // "@" stands for the folder
        std::wstring blamed;
        std::string reason;
    };
    const std::wstring launcher = LauncherPath().wstring();
    const Case cases[] = {
        {"a launcher cut in its sections",
         {L"--launcher", L"@\\cut.exe", L"--output", L"@\\Shop.exe"},
         L"@\\cut.exe",
         "cut short"},
        {"a Windows program that is no Tala launcher",
         {L"--launcher", BesideThisProgram(L"tala-test-pair.exe").wstring(), L"--output", L"@\\Shop.exe"},
         BesideThisProgram(L"tala-test-pair.exe").wstring(),
         "is not a Tala launcher"},
        {"an icon file with an image beyond its end",
         {L"--launcher", launcher, L"--output", L"@\\Shop.exe", L"--icon", L"@\\broken.ico"},
         L"@\\broken.ico",
         "beyond the end"},
        {"an output that is a folder",
         {L"--launcher", launcher, L"--output", L"@\\folder"},
         L"@\\folder",
         "cannot be written"},
    };
    for (const Case& c : cases) {
        const TempFolder folder;
        const std::string tala = ReadBytes(LauncherPath());
        WriteBytes(folder.Path() / "cut.exe", tala.substr(0, tala.size() / 2));
        std::string icon = IconFile({{16, 0}});
        WriteBytes(folder.Path() / "broken.ico", icon.substr(0, icon.size() - 1));
        fs::create_directory(folder.Path() / "folder");
        const auto inFolder = [&](std::wstring text) {
            return text.rfind(L'@', 0) == 0 ? folder.Path().wstring() + text.substr(1) : text;
        };
        std::vector<std::wstring> words;
        for (const std::wstring& word : c.words) words.push_back(inFolder(word));

        const ToolRun run = RunPackTool(words);
        EXPECT_EQ(run.exitCode, 1u) << c.rule;
        const std::wstring blamed = inFolder(c.blamed) + L": ";
        EXPECT_NE(run.errors.find(std::string(blamed.begin(), blamed.end())), std::string::npos)
            << c.rule << ": " << run.errors;
        EXPECT_NE(run.errors.find(c.reason), std::string::npos) << c.rule << ": " << run.errors;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 3)
            << c.rule;
    }
}

} // namespace
} // namespace tala::test
