// Shop.exe on a runtime whose VM library, hold-jvm.dll, holds the launcher's
// Java thread while the test looks at the screen and the launcher's windows,
// then hands over to the stand-in VM library beside it; and what the
// runtime's splash library, a stand-in that records its calls, was asked.
#pragma once

#include "os/windows/UniqueHandle.h"
#include "tests/windows/ShopFolder.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tala::test {

class SplashShop : public ShopFolder {
public:
    SplashShop();

    std::filesystem::path Runtime() const { return Folder() / "jre"; }
    // Shop.ini naming the runtime, with these lines as its "Display" section.
    void WriteDisplay(const std::u16string& lines) const;
    void Play(const std::string& scenario) const { ShopFolder::Play(Runtime(), scenario); }
    StandInRecord VmRecord() const { return RecordOf(Runtime()); }

    // A built stand-in splash library as the runtime's bin\splashscreen.dll,
    // and the lines it recorded.
    void InstallSplashLibrary(const wchar_t* variant) const;
    std::vector<std::string> SplashRecord() const;

    // When launchers reached JNI_CreateJavaVM, in performance counter ticks.
    std::vector<std::int64_t> VmArrivals() const;
};

// Where hold-jvm.dll holds the Java thread: before the VM is created (the
// splash has started, main has not run), or before it detaches (main has
// returned, an uncaught exception has been dealt with).
enum class HoldPoint { Create, Detach };

// The pair of events hold-jvm.dll meets the test with at one point, named to
// it in an environment variable that launchers started meanwhile inherit. A
// launcher still held when the hold goes is let go.
class Hold {
public:
    explicit Hold(HoldPoint point = HoldPoint::Create) : Hold(point, UniqueName()) {}
    ~Hold() { Release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    bool WaitHeld(std::chrono::milliseconds timeout) const;
    void Release() const { ::SetEvent(release_.get()); }

private:
    Hold(HoldPoint point, const std::u16string& name);
    static std::u16string UniqueName();

    os::UniqueHandle held_;
    os::UniqueHandle release_;
    ScopedEnvironmentVariable variable_;
};

// A text in this process's ANSI code page, as the splash library gets it.
std::string Ansi(const std::wstring& text);

} // namespace tala::test
