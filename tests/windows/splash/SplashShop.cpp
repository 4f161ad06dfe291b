#include "tests/windows/splash/SplashShop.h"

#include "tests/windows/ProgramsBeside.h"

#include <atomic>
#include <sstream>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> LinesOf(const fs::path& file)
{
    std::vector<std::string> lines;
    std::istringstream text(ReadBytes(file));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

} // namespace

SplashShop::SplashShop()
{
    const fs::path vmLibrary = VmLibraryOf(AddRuntime(L"jre"));
    fs::rename(vmLibrary, vmLibrary.parent_path() / kStandInVm);
    fs::copy_file(BesideThisProgram(L"hold-jvm.dll"), vmLibrary);
}

void SplashShop::WriteDisplay(const std::u16string& lines) const
{
    Write(u"JRE Path=" + Runtime().u16string() + u"\r\n[Display]\r\n" + lines);
}

void SplashShop::InstallSplashLibrary(const wchar_t* variant) const
{
    fs::copy_file(BesideThisProgram(variant), Runtime() / "bin" / "splashscreen.dll");
}

std::vector<std::string> SplashShop::SplashRecord() const
{
    return LinesOf(Runtime() / "bin" / "splash-record.txt");
}

std::vector<std::int64_t> SplashShop::VmArrivals() const
{
    std::vector<std::int64_t> arrivals;
    for (const std::string& line : LinesOf(VmLibraryOf(Runtime()).parent_path() / "hold-record.txt")) {
        arrivals.push_back(std::stoll(line.substr(line.find(' ') + 1))); // "create TICKS"
    }
    return arrivals;
}

Hold::Hold(HoldPoint point, const std::u16string& name)
    : held_(::CreateEventW(nullptr, TRUE, FALSE, reinterpret_cast<const wchar_t*>((name + u"-held").c_str()))),
      release_(::CreateEventW(nullptr, TRUE, FALSE, reinterpret_cast<const wchar_t*>((name + u"-release").c_str()))),
      variable_(point == HoldPoint::Create ? u"TALA_SPLASH_HOLD_CREATE" : u"TALA_SPLASH_HOLD_DETACH", name)
{
}

std::u16string Hold::UniqueName()
{
    static std::atomic<unsigned> counter{0};
    const std::string name = "tala-splash-hold-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(counter++);
    return std::u16string(name.begin(), name.end());
}

bool Hold::WaitHeld(std::chrono::milliseconds timeout) const
{
    return ::WaitForSingleObject(held_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::string Ansi(const std::wstring& text)
{
    std::string bytes(text.size() * 2, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()),
                                                                nullptr, nullptr)));
    return bytes;
}

} // namespace tala::test
