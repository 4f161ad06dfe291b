// The start cases both builds share, run by the Linux launcher on Debian's OpenJDK
// (the system keeps the exit code's low byte).
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/shared/CaseName.h"
#include "tests/shared/StartCases.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

class BothBuilds : public testing::TestWithParam<StartCase> {};

TEST_P(BothBuilds, EndAsTheCaseSays)
{
    const StartCase& start = GetParam();
    const ScopedEnvironmentVariable word(u"TALA_TEST_WORD", u"expanded");
    AppFolder app;
    if (start.application) {
        app.WriteSettings("[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n[Java Runtime Environment]\nJRE Path=" +
                          JdkHome().string() + "\nMain Class=probe.Args\n" + start.settings.value_or(""));
    } else if (start.settings) {
        app.WriteSettings(*start.settings);
    }
    // Reading a 10 MB settings file takes a while under the sanitizers.
    const RunResult result = app.Run(start.arguments, std::chrono::seconds(start.exitCode ? 240 : 5));

    EXPECT_EQ(result.timedOut, !start.exitCode) << result.errors;
    EXPECT_EQ(start.exitCode ? result.exitCode : 0, start.exitCode.value_or(0) & 0xFF) << result.errors;
    // A line feed is added where a message has none.
    std::string message = start.message ? os::ToUtf8(MessageOf(*start.message)) : "";
    if (!message.empty() && message.back() != '\n') message += '\n';
    EXPECT_EQ(start.message || !start.application ? result.errors : message, message);
    if (start.mainArguments) {
        EXPECT_EQ(result.output, UnitsInHex(MainArgumentsFor(start, JdkHome().u16string()))) << result.errors;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BothBuilds, testing::ValuesIn(StartCases()), CaseName<StartCase>);

// Memory runs out reading a settings value larger than the address space the launcher may use:
// the start says so and ends with -1, no abort that says nothing.
TEST(StartFailure, RunningOutOfMemoryEndsWithAWordAndMinusOne)
{
#ifdef TALA_SANITIZE
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
#endif
    AppFolder app;
    app.WriteSettings("[Java Runtime Environment]\nMain Class=" + std::string(std::size_t{64} << 20, 'a') + "\n");
    Program launcher({"/bin/sh", "-c", "ulimit -v 200000 && exec ./shop"}, app.Path());
    const RunResult result = launcher.Finish(std::chrono::seconds(60));
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.errors, "The launcher ran out of memory and has to stop.\n");
}

} // namespace
} // namespace tala::test
