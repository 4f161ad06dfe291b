#include "tests/shared/StartUpCases.h"

#include "launcher/MessageId.h"
#include "tests/shared/TestFiles.h"

#include <random>

namespace tala::test {
namespace {

constexpr int kMainClassMissing = static_cast<int>(MessageId::MainClassMissing);

std::string RandomBytes(std::size_t count)
{
    std::mt19937 generator(20261205);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(byte(generator));
    return bytes;
}

} // namespace

// No runtime on any machine satisfies this bound.
constexpr const char* kNoRuntime = "Minimum Version=99\r\n";

std::vector<StartUpCase> StartUpCases()
{
    const std::string tenMegabytes(10 * 1024 * 1024, 'x');
    return {
        {"no settings file", std::nullopt, kMainClassMissing},
        {"empty settings file", "", kMainClassMissing},
        {"random bytes", RandomBytes(4096), kMainClassMissing},
        {"section missing", "[Application]\r\nMain Class=demo.Hello\r\n", kMainClassMissing},
        {"main class empty", "[Java Runtime Environment]\r\nMain Class=\r\n", kMainClassMissing},
        {"main class given",
         std::string("[Java Runtime Environment]\r\nMain Class=demo.Hello\r\n") + kNoRuntime,
         std::nullopt},
        {"names in other case, value quoted",
         std::string("[java runtime environment]\r\nmain class = \"demo.Hello\"\r\n") + kNoRuntime,
         std::nullopt},
        {"main class only in the + section",
         std::string("[Java Runtime Environment+]\r\nMain Class=demo.Hello\r\n"
                     "[Java Runtime Environment]\r\n") + kNoRuntime,
         std::nullopt},
        {"UTF-16 file with a main class",
         Utf16LeWithBom(u"[Java Runtime Environment]\r\nMain Class=demo.Hello\r\nMinimum Version=99\r\n"),
         std::nullopt},
        {"UTF-16 file without a main class",
         Utf16LeWithBom(u"[Java Runtime Environment]\r\nJRE Path=C:\\jre\r\n"), kMainClassMissing},
        {"10 MB main class",
         "[Java Runtime Environment]\r\nMain Class=" + tenMegabytes + "\r\n" + kNoRuntime,
         std::nullopt},
        {"10 MB value beside a missing main class",
         "[Java Runtime Environment]\r\nVirtual Machine Parameters=" + tenMegabytes + "\r\n",
         kMainClassMissing},
    };
}

} // namespace tala::test
