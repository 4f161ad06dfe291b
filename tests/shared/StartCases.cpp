#include "tests/shared/StartCases.h"

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

// No runtime on any machine satisfies this bound.
constexpr const char* kNoRuntime = "Minimum Version=99\r\n";

} // namespace

std::vector<StartCase> StartCases()
{
    const std::string tenMegabytes(10 * 1024 * 1024, 'x');
    const std::string jre = "[Java Runtime Environment]\r\n";
    return {
        {"no settings file", false, std::nullopt, {}, -1, kMainClassMissing},
        {"empty settings file", false, "", {}, -1, kMainClassMissing},
        {"random bytes", false, RandomBytes(4096), {}, -1, kMainClassMissing},
        {"section missing", false, "[Application]\r\nMain Class=demo.Hello\r\n", {}, -1, kMainClassMissing},
        {"main class empty", false, jre + "Main Class=\r\n", {}, -1, kMainClassMissing},
        {"main class given", false, jre + "Main Class=demo.Hello\r\n" + kNoRuntime},
        {"names in other case, value quoted", false,
         std::string("[java runtime environment]\r\nmain class = \"demo.Hello\"\r\n") + kNoRuntime},
        {"main class only in the + section", false,
         "[Java Runtime Environment+]\r\nMain Class=demo.Hello\r\n" + jre + kNoRuntime},
        {"UTF-16 file with a main class", false,
         Utf16LeWithBom(u"[Java Runtime Environment]\r\nMain Class=demo.Hello\r\nMinimum Version=99\r\n")},
        {"UTF-16 file without a main class", false,
         Utf16LeWithBom(u"[Java Runtime Environment]\r\nJRE Path=C:\\jre\r\n"),
         {}, -1, kMainClassMissing},
        {"10 MB main class", false, jre + "Main Class=" + tenMegabytes + "\r\n" + kNoRuntime},
        {"10 MB value beside a missing main class", false, jre + "Virtual Machine Parameters=" + tenMegabytes + "\r\n",
         {}, -1, kMainClassMissing},
        {"main gets the words of the command line, then those of Cmd, exactly", true,
         "[Application]\nCmd=from-cmd \"cmd two\"  %TALA_TEST_WORD%\n",
         {"plain", "two words", "", "x\"y", "Gr\xC3\xBC\xC3\x9F" "e", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80",
          "-nosplash"},
         0, std::nullopt,
         std::vector<std::u16string>{u"plain", u"two words", u"", u"x\"y", u"Gr\u00fc\u00dfe", u"\u65e5\u672c",
                                     u"\U0001F600", u"-nosplash", u"from-cmd", u"cmd two", u"expanded"}},
        {"no words give main an empty array", true, "", {}, 0, std::nullopt, std::vector<std::u16string>{}},
        {"Cmd is expanded once the runtime is known", true, "[Application]\nCmd=%TALA_JVM_HOME%\n", {"first"}, 0,
         std::nullopt, std::vector<std::u16string>{u"first", u"{home}"}},
        {"System.exit's status is the exit code", true, "", {"exit", "7"}, 7},
        {"a negative status too", true, "", {"exit", "-2"}, -2},
        {"an exception leaving main without Failure Check ends with 0", true, "", {"throw"}, 0},
        {"with IBM runtimes allowed the launcher stays after main", true, "VM Provider=any\n", {}, std::nullopt,
         std::nullopt, std::vector<std::u16string>{}},
    };
}

std::u16string MessageOf(int id, std::initializer_list<MessageArgument> arguments)
{
    struct Entry { int id; const char16_t* text; };
    static constexpr Entry kTexts[] = {
#define TALA_STRING(name, id, text) {id, u"" text},
#include "resources/Strings.inc"
#undef TALA_STRING
    };
    for (const Entry& entry : kTexts) {
        if (entry.id == id) return FormatMessageText(entry.text, arguments);
    }
    return {};
}

std::vector<std::u16string> MainArgumentsFor(const StartCase& start, const std::u16string& home)
{
    std::vector<std::u16string> expected = start.mainArguments.value_or(std::vector<std::u16string>{});
    for (std::u16string& argument : expected) {
        if (argument == u"{home}") argument = home;
    }
    return expected;
}

} // namespace tala::test
