#include "tests/windows/dialogs/PromptedTrace.h"

#include "os/Utf8.h"
#include "tests/windows/ProgramsBeside.h"

namespace tala::test {
namespace {

LauncherProcess StartPrompt(const std::filesystem::path& folder)
{
    const std::wstring trace = SampleStackTrace();
    WriteBytes(folder / "trace.txt", os::ToUtf8(std::u16string(trace.begin(), trace.end())));
    return LauncherProcess(L"\"" + BesideThisProgram(L"tala-exception-prompt.exe").wstring() + L"\" \"" +
                               (folder / "trace.txt").wstring() + L"\"",
                           folder);
}

} // namespace

std::wstring SampleStackTrace()
{
    std::wstring trace = L"java.lang.IllegalStateException: the order database is not reachable\r\n"
                         L"\tat com.example.shop.orders.OrderStore.open(OrderStore.java:88)\r\n"
                         L"\tat com.example.shop.orders.OrderStore.<init>(OrderStore.java:41)\r\n"
                         L"\tat com.example.shop.Main.startServices(Main.java:57)\r\n"
                         L"\tat com.example.shop.Main.main(Main.java:23)\r\n"
                         L"Caused by: java.net.ConnectException: Connection refused\r\n"
                         L"\tat java.base/sun.nio.ch.Net.connect0(Native Method)\r\n"
                         L"\tat java.base/sun.nio.ch.Net.connect(Net.java:579)\r\n"
                         L"\tat java.base/sun.nio.ch.NioSocketImpl.connect(NioSocketImpl.java:583)\r\n"
                         L"\tat java.base/java.net.Socket.connect(Socket.java:633)\r\n"
                         L"\tat com.example.shop.orders.OrderStore.open(OrderStore.java:80)\r\n";
    for (int frame = 0; frame < 24; ++frame) {
        trace += L"\tat com.example.shop.orders.Retry.attempt(Retry.java:" + std::to_wstring(100 + frame) + L")\r\n";
    }
    return trace + L"\t... 4 more\r\n";
}

PromptedTrace::PromptedTrace() : prompt(StartPrompt(folder.Path())), dialog(prompt.WaitForDialog(L"Java Exception"))
{
}

} // namespace tala::test
