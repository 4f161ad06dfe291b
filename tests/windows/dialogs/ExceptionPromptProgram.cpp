// tala-exception-prompt: shows the launcher's "Java Exception" dialog for a
// stack trace read from a file, the way the Java thread shows it, so its
// behaviour can be tested and pictured with any trace, without a runtime.
//
//   tala-exception-prompt.exe TRACE_FILE   (UTF-8)
//
// Exits with 0 for Ignore, 1 for Stop, 2 when the file cannot be read.
#include "os/ExceptionPrompt.h"
#include "os/Utf8.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    if (__argc != 2) return 2;
    std::ifstream file(__wargv[1], std::ios::binary);
    if (!file) return 2;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::u16string trace = tala::os::FromUtf8(bytes);
    return tala::os::AskIgnoreOrStop(trace) == tala::os::ExceptionChoice::Ignore ? 0 : 1;
}
