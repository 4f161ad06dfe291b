// The Linux launcher started as users start it: the same settings end with the
// same message text (on standard error) and the same exit code as on Windows.
#include "launcher/ErrorReport.h"
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/shared/CaseName.h"
#include "tests/shared/StartUpCases.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tala::test
