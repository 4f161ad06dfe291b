// A program started by a test and met the way a user meets it, one step at a
// time: wait for a dialog of it by caption, read and work its controls, wait
// for it to end. Every wait has a time-out; a program still running when the
// test is done is ended.
#pragma once

#include "os/windows/UniqueHandle.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tala::test {

using namespace std::chrono_literals;

// Polls the condition until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

class LauncherRun {
public:
    LauncherRun(const std::wstring& commandLine, const std::filesystem::path& workingFolder);
    ~LauncherRun();
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD StartError() const { return startError_; }
    HANDLE Process() const { return process_.get(); }

    // A visible top-level dialog (class #32770) of the program with this
    // caption, owned by the given window when one is given; none when none
    // showed up in time.
    HWND WaitForDialog(std::wstring_view caption, std::chrono::milliseconds timeout = 10s,
                       HWND owner = nullptr) const;

    // The exit code, all 32 bits; none when the program still runs.
    std::optional<std::uint32_t> WaitForExit(std::chrono::milliseconds timeout = 10s) const;

private:
    os::UniqueHandle process_;
    DWORD processId_ = 0;
    DWORD startError_ = 0;
};

// Memory in another process, freed when it goes: for messages whose
// parameters point to data (the folder picker's selection, tooltip texts).
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* Address() const { return address_; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const;
    bool Read(std::size_t offset, void* data, std::size_t size) const;

private:
    HANDLE process_;
    void* address_;
};

// A window's text, asked of the window itself (a window of another process).
std::wstring TextOf(HWND window);
std::wstring ControlText(HWND dialog, int id);

// A window's rectangle in its dialog's client coordinates.
RECT RectInDialog(HWND window, HWND dialog);

// The size of a window's frame.
SIZE FrameSize(HWND window);

// Gives a window of another process a new frame size, its corner staying.
bool ResizeWindow(HWND window, SIZE frame);

// A button pressed as the dialog manager reports it. Posted, not sent: the
// button may open a modal window of its own.
void PostClick(HWND dialog, int buttonId);

// A key pressed and released on the window that has the keyboard focus in
// the dialog's thread (the dialog itself when none has).
void PostKey(HWND dialog, WPARAM key);

// The close box of the caption.
void PostCloseBox(HWND dialog);

// Selects a folder in a folder picker ("Browse for Folder") of the process
// and confirms it with its OK button.
bool PickFolder(HANDLE process, HWND picker, const std::wstring& folder);

} // namespace tala::test
