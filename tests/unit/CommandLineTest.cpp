// Splitting of the launcher's command line and of "Cmd" values.
#include "launcher/CommandLine.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

TEST(SplitCommandLine, SplitsAtSpacesWithLeadingQuotes)
{
    const std::pair<std::u16string, StringList> cases[] = {
        {u"", {}},
        {u"one \"two words\"", {u"one", u"two words"}},
        {u"a  b", {u"a", u"b"}},
        {u"\"a b\"c", {u"a b", u"c"}},
        {u"x\"y z\"", {u"x\"y", u"z\""}},
        {u"\"\"", {u""}},
        {u"\"abc", {u"abc"}},
        {u"a \"", {u"a", u""}},
        {u"a\tb", {u"a\tb"}},
        {u" a", {u"", u"a"}},
        {u"a   ", {u"a"}},
        {u"C:\\dir\\ \\\"q", {u"C:\\dir\\", u"\\\"q"}},
        {u"\"\" \"\" x", {u"", u"", u"x"}},
    };
    for (const auto& [text, added] : cases) {
        StringList words{u"kept"};
        SplitCommandLine(text, words);
        StringList expected{u"kept"};
        expected.insert(expected.end(), added.begin(), added.end());
        EXPECT_EQ(words, expected) << testing::PrintToString(text);
    }
}

TEST(ProgramArguments, DropTheProgramPathWhateverItHolds)
{
    const std::pair<os::ProcessCommandLine, StringList> cases[] = {
        {{u"  \"C:\\Program Files\\Shop.exe\"  -a \"b c\" \t", {}}, {u"-a", u"b c"}},
        {{u"Shop.exe", {}}, {}},
        {{u"\"C:\\Shop.exe\"-nosplash", {}}, {u"-nosplash"}},
        {{u"", {}}, {}},
        {{std::nullopt, {u"/opt/shop/shop", u"", u"a b", u"\u65e5\u672c"}}, {u"", u"a b", u"\u65e5\u672c"}},
        {{std::nullopt, {}}, {}},
    };
    for (const auto& [commandLine, arguments] : cases) EXPECT_EQ(ProgramArgumentsFrom(commandLine), arguments);
}

} // namespace
} // namespace tala
