#include "tests/windows/splash/SplashHarness.h"

#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/ProgramsBeside.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>
#include <type_traits>

namespace tala::test::splash {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct ScreenDcReleaser {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
};

struct WindowSearch {
    DWORD processId = 0; // 0: any process
    const wchar_t* className = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM state)
{
    auto& search = *reinterpret_cast<WindowSearch*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (search.processId != 0 && owner != search.processId) return TRUE;
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring_view(name) == search.className) search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> FindWindows(DWORD processId, const wchar_t* className)
{
    WindowSearch search{processId, className, {}};
    ::EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::int64_t Ticks()
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::string Hex(std::uint32_t colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
    return text;
}

} // namespace

std::uint32_t PictureColour(int x, int y, int width, int height)
{
    if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return kFrame;
    const bool left = x < width / 2;
    const bool top = y < height / 2;
    if (top) return left ? kTopLeft : kTopRight;
    return left ? kBottomLeft : kBottomRight;
}

void WritePicture(const fs::path& path, int width, int height)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const auto dataSize = static_cast<std::uint32_t>(rowBytes * height);
    std::string bytes = "BM";
    PutLittleEndian(bytes, 14 + 40 + dataSize, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 14 + 40, 4);
    PutLittleEndian(bytes, 40, 4); // BITMAPINFOHEADER
    PutLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(height), 4); // bottom-up rows
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 24, 2);
    PutLittleEndian(bytes, 0, 4); // BI_RGB
    PutLittleEndian(bytes, dataSize, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) PutLittleEndian(row, PictureColour(x, y, width, height), 3);
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        bytes += row;
    }
    WriteBytes(path, bytes);
}

ScreenShot ScreenShot::Take()
{
    ScreenShot shot;
    shot.width_ = ::GetSystemMetrics(SM_CXSCREEN);
    shot.height_ = ::GetSystemMetrics(SM_CYSCREEN);
    const std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser> screen(::GetDC(nullptr));
    const std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter> memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width_;
    info.bmiHeader.biHeight = -shot.height_; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> bitmap(
        ::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap) return shot;
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, shot.width_, shot.height_, screen.get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    shot.pixels_.assign(pixels, pixels + static_cast<std::size_t>(shot.width_) * static_cast<std::size_t>(shot.height_));
    for (std::uint32_t& pixel : shot.pixels_) pixel &= 0xFFFFFF;
    ::SelectObject(memory.get(), previous);
    return shot;
}

std::optional<std::uint32_t> ScreenShot::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return std::nullopt;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

std::vector<PicturePoint> PicturePoints(POINT origin, int width, int height)
{
    const std::vector<POINT> inPicture{
        {0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1},                  // frame corners
        {1, 1}, {width - 2, 1}, {1, height - 2}, {width - 2, height - 2},                  // quarters at the frame
        {width / 2 - 1, height / 2 - 1}, {width / 2, height / 2 - 1},                       // quarters at the centre
        {width / 2 - 1, height / 2}, {width / 2, height / 2},
    };
    std::vector<PicturePoint> points;
    for (const POINT& at : inPicture) {
        points.push_back({origin.x + at.x, origin.y + at.y, PictureColour(at.x, at.y, width, height)});
    }
    return points;
}

std::vector<POINT> PointsAround(POINT origin, int width, int height)
{
    return {{origin.x - 1, origin.y - 1},
            {origin.x + width, origin.y + height},
            {origin.x - 1, origin.y + height / 2},
            {origin.x + width, origin.y + height / 2},
            {origin.x + width / 2, origin.y - 1},
            {origin.x + width / 2, origin.y + height}};
}

std::string PictureMismatch(const ScreenShot& shot, POINT origin, int width, int height)
{
    std::ostringstream out;
    for (const PicturePoint& point : PicturePoints(origin, width, height)) {
        const auto seen = shot.At(point.x, point.y);
        if (seen != point.colour) {
            out << " (" << point.x << "," << point.y << ") shows " << (seen ? Hex(*seen) : "nothing")
                << " instead of " << Hex(point.colour) << ";";
        }
    }
    for (const POINT& point : PointsAround(origin, width, height)) {
        const auto seen = shot.At(point.x, point.y);
        if (seen == kFrame) out << " (" << point.x << "," << point.y << ") outside the picture shows its frame;";
    }
    return out.str();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto giveUp = Clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (Clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

HWND WindowOf(DWORD processId, const wchar_t* className)
{
    const std::vector<HWND> found = FindWindows(processId, className);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> WindowsOfClass(const wchar_t* className)
{
    return FindWindows(0, className);
}

CoveringWindow::CoveringWindow(RECT area)
{
    static const ATOM coverClass = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        // Kept for the test program's life, as the class is.
        windowClass.hbrBackground = ::CreateSolidBrush(RGB(kCover >> 16, (kCover >> 8) & 0xFF, kCover & 0xFF));
        windowClass.lpszClassName = L"TalaSplashTestCover";
        return ::RegisterClassW(&windowClass);
    }();
    window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, MAKEINTATOM(coverClass), nullptr, WS_POPUP,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_);
}

CoveringWindow::~CoveringWindow()
{
    if (window_ != nullptr) ::DestroyWindow(window_);
    PumpMessages();
}

void PumpMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

Hold::Hold(HoldPoint point)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring name =
        L"tala-splash-hold-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    held_ = ::CreateEventW(nullptr, TRUE, FALSE, (name + L"-held").c_str());
    release_ = ::CreateEventW(nullptr, TRUE, FALSE, (name + L"-release").c_str());
    name_.emplace(point == HoldPoint::Create ? u"TALA_SPLASH_HOLD_CREATE" : u"TALA_SPLASH_HOLD_DETACH",
                  std::u16string(name.begin(), name.end()));
}

Hold::~Hold()
{
    // A launcher still held must not wait for its time-out.
    Release();
    ::CloseHandle(held_);
    ::CloseHandle(release_);
}

bool Hold::WaitHeld(std::chrono::milliseconds timeout) const
{
    return ::WaitForSingleObject(held_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Hold::Release() const { ::SetEvent(release_); }

SplashShop::SplashShop() : userSettings_(UserSettingsRootVariable(), folder_.Child("user"))
{
    fs::copy_file(LauncherPath(), Exe());
    fs::create_directories(Folder() / "lib");
    WriteBytes(Folder() / "lib" / "app.jar", "");
    fs::create_directories(VmLibrary().parent_path());
    fs::copy_file(BesideThisProgram(L"hold-jvm.dll"), VmLibrary());
    fs::copy_file(BesideThisProgram(kStandInVm), StandInPath());
    Play("");
}

void SplashShop::Write(const std::u16string& displayLines) const
{
    // UTF-16 with a byte-order mark, so any character of a path reads back.
    WriteBytes(Folder() / "Shop.ini", Utf16LeWithBom(u"[Java Runtime Environment]\r\n"
                                                     u"Main Class=shop.App\r\n"
                                                     u"JRE Path=" + Home().u16string() + u"\r\n"
                                                     u"[Class Path]\r\n"
                                                     u"Class Path=\\lib\\app.jar\r\n"
                                                     u"[Display]\r\n" + displayLines + u"\r\n"));
}

void SplashShop::Play(const std::string& scenario) const
{
    WriteScenario(StandInPath(), "main-class=shop/App\n" + scenario);
}

void SplashShop::InstallSplashLibrary(const wchar_t* variant) const
{
    fs::copy_file(BesideThisProgram(variant), SplashLibrary(), fs::copy_options::overwrite_existing);
}

std::vector<std::string> SplashShop::SplashRecord() const
{
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(SplashLibrary().parent_path() / "splash-record.txt"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

std::vector<std::int64_t> SplashShop::VmArrivals() const
{
    std::vector<std::int64_t> arrivals;
    std::istringstream text(ReadBytes(VmLibrary().parent_path() / "hold-record.txt"));
    for (std::string word, ticks; text >> word >> ticks;) arrivals.push_back(std::stoll(ticks));
    return arrivals;
}

Launch::Launch(const SplashShop& shop, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + shop.Exe().wstring() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    const std::wstring folder = shop.Folder().wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    startTicks_ = Ticks();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &started)) {
        return;
    }
    ::CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
}

Launch::~Launch()
{
    if (process_ == nullptr) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_, 124);
    ::CloseHandle(process_);
}

std::optional<DWORD> Launch::Wait(std::chrono::milliseconds timeout)
{
    if (process_ == nullptr) return std::nullopt;
    if (::WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_, 124);
        ::WaitForSingleObject(process_, 2000);
        return std::nullopt;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process_, &exitCode);
    return exitCode;
}

HWND Launch::WaitForMessageBox(std::chrono::milliseconds timeout) const
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindWindows(processId_, L"#32770")) {
                if (::IsWindowVisible(window)) box = window;
            }
            return box != nullptr;
        },
        timeout);
    return box;
}

void ClickOk(HWND box)
{
    // Posted: the box's thread answers it when it gets to it.
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

std::string AnsiHex(const std::wstring& text)
{
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    std::string hex;
    for (const char byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(static_cast<unsigned char>(byte)));
        hex += digits;
    }
    return hex;
}

} // namespace tala::test::splash
