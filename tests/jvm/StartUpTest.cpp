// The Linux launcher started as users start it: the same settings end with the
// same message text (on standard error) and the same exit code as on Windows.
#include "launcher/ErrorReport.h"
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/shared/CaseName.h"
#include "tests/shared/StartUpCases.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define TALA_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALA_ADDRESS_SANITIZER
#endif
#endif

namespace tala::test {
namespace {

class StartUp : public testing::TestWithParam<StartUpCase> {};

TEST_P(StartUp, EndsWithTheMessageAndExitCodeOfItsSettings)
{
    const StartUpCase& c = GetParam();
    AppFolder app;
    if (c.settingsFile) app.WriteSettings(*c.settingsFile);

    const RunResult result = app.Run({"-nosplash", "arg"});

    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, c.exitCode & 0xFF);
    // A line feed is added where a message has none.
    std::string message = c.message ? os::ToUtf8(MessageText(static_cast<MessageId>(*c.message))) : "";
    if (!message.empty() && message.back() != '\n') message += '\n';
    EXPECT_EQ(result.errors, message);
    EXPECT_EQ(result.output, "");
}

INSTANTIATE_TEST_SUITE_P(Settings, StartUp, testing::ValuesIn(StartUpCases()), CaseName<StartUpCase>);

// Memory that runs out (here reading a settings value larger than the
// address space the launcher may use) ends the start with a word and -1,
// not with an abort that says nothing.
TEST(StartUpFailure, RunningOutOfMemoryEndsWithAWordAndMinusOne)
{
#ifdef TALA_ADDRESS_SANITIZER
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
