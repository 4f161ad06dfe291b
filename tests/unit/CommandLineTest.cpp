// Splitting of the launcher's command line and of "Cmd" values.
#include "launcher/CommandLine.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

struct SplitCase {
    std::u16string text;
    StringList words;
};

TEST(SplitCommandLine, SplitsAtSpacesWithLeadingQuotes)
{
    const SplitCase cases[] = {
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
    for (const SplitCase& c : cases) {
        StringList words{u"kept"};
        SplitCommandLine(c.text, words);
        StringList expected{u"kept"};
        expected.insert(expected.end(), c.words.begin(), c.words.end());
        EXPECT_EQ(words, expected) << "text: " << std::string(c.text.begin(), c.text.end());
    }
}

TEST(ProgramArguments, DropTheProgramPathWhateverItHolds)
{
    struct Case {
        os::ProcessCommandLine commandLine;
        StringList arguments;
    };
    const Case cases[] = {
        {{u"  \"C:\\Program Files\\Shop.exe\"  -a \"b c\" \t", {}}, {u"-a", u"b c"}},
        {{u"Shop.exe", {}}, {}},
        {{u"\"C:\\Shop.exe\"-nosplash", {}}, {u"-nosplash"}},
        {{u"", {}}, {}},
        {{std::nullopt, {u"/opt/shop/shop", u"", u"a b", u"\u65e5\u672c"}}, {u"", u"a b", u"\u65e5\u672c"}},
        {{std::nullopt, {}}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgramArgumentsFrom(c.commandLine), c.arguments);
}

} // namespace
} // namespace tala
