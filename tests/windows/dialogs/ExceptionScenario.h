// What the exception dialog tests show: a stack trace as a runtime prints
// one, for the dialog on its own (tala-exception-prompt.exe), and the
// application whose main throws on the stand-in VM library, for the dialog
// as tala.exe shows it.
#pragma once

#include "tests/windows/dialogs/LauncherRun.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tala::test {

// A trace of a few dozen lines, longer than the dialog's edit control shows,
// with the runtime's own line separators.
std::wstring SampleStackTrace();

// tala-exception-prompt.exe started on a trace in a file of the folder.
std::unique_ptr<LauncherRun> StartExceptionPrompt(const std::filesystem::path& folder, const std::wstring& trace);

// The stand-in's main leaves a java.lang.IllegalStateException pending.
inline constexpr char kThrowingScenario[] = "main-class=shop/App\nmain=throw\n";
inline constexpr wchar_t kThrownTrace[] = L"java.lang.IllegalStateException\r\n\tat shop.App.main(App.java:3)\r\n";

} // namespace tala::test
