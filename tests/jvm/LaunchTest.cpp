// The Linux launcher started as users start it: the same settings end with the
// same message text (on standard error) and the same exit code as on Windows.
#include "launcher/ErrorReport.h"
#include "os/Utf8.h"
#include "tests/jvm/AppFolder.h"
#include "tests/shared/StartUpCases.h"

#include <gtest/gtest.h>

namespace tala::test {
namespace {

std::string ExpectedErrors(const StartUpCase& c)
{
    if (!c.message) return "";
    std::string text = os::ToUtf8(MessageText(static_cast<MessageId>(*c.message)));
    if (text.empty() || text.back() != '\n') text += '\n';
    return text;
}

class StartUp : public testing::TestWithParam<StartUpCase> {};

TEST_P(StartUp, EndsWithTheMessageAndExitCodeOfItsSettings)
{
    const StartUpCase& c = GetParam();
    AppFolder app;
    if (c.settingsFile) app.WriteSettings(*c.settingsFile);

    const RunResult result = app.Run({"-nosplash", "arg"});

    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, c.exitCode & 0xFF);
    EXPECT_EQ(result.errors, ExpectedErrors(c));
    EXPECT_EQ(result.output, "");
}

std::string CaseName(const testing::TestParamInfo<StartUpCase>& info)
{
    std::string name;
    for (const char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Settings, StartUp, testing::ValuesIn(StartUpCases()), CaseName);

TEST(JavaApplication, HelloRunsFromItsApplicationFolder)
{
    AppFolder app;
    std::string errors;
    ASSERT_TRUE(app.CompileJava({"demo/Hello.java"}, errors)) << errors;
    app.WriteSettings("[Java Runtime Environment]\nMain Class=demo.Hello\nMaximum Version=any\n"
                      "[Class Path]\nClass Path=classes\n");
    // The runtime comes from the search of the installed runtimes.
    const RunResult result = app.Run({"a b"});
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "Hello from demo.Hello\na b\n");
}

} // namespace
} // namespace tala::test
