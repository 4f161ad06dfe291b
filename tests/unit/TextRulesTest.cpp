// The launcher's text rules: splitting, string rules, UTF-8, messages, %NAME% expansion.
#include "launcher/CommandLine.h"
#include "launcher/ErrorReport.h"
#include "os/EnvironmentExpansion.h"
#include "os/Utf8.h"
#include "settings/StringRules.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace tala {
namespace {

TEST(SplitCommandLine, SplitsAtSpacesWithLeadingQuotes)
{
    const std::pair<std::u16string, StringList> cases[] = {
        {u"", {}}, {u"one \"two words\"", {u"one", u"two words"}}, {u"a  b", {u"a", u"b"}},
        {u"\"a b\"c", {u"a b", u"c"}}, {u"x\"y z\"", {u"x\"y", u"z\""}}, {u"\"\"", {u""}}, {u"\"abc", {u"abc"}},
        {u"a \"", {u"a", u""}}, {u"a\tb", {u"a\tb"}}, {u" a", {u"", u"a"}}, {u"a   ", {u"a"}},
        {u"C:\\dir\\ \\\"q", {u"C:\\dir\\", u"\\\"q"}}, {u"\"\" \"\" x", {u"", u"", u"x"}},
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
        {{u"Shop.exe", {}}, {}}, {{u"\"C:\\Shop.exe\"-nosplash", {}}, {u"-nosplash"}}, {{u"", {}}, {}},
        {{std::nullopt, {u"/opt/shop/shop", u"", u"a b", u"\u65e5\u672c"}}, {u"", u"a b", u"\u65e5\u672c"}},
        {{std::nullopt, {}}, {}},
    };
    for (const auto& [commandLine, arguments] : cases) EXPECT_EQ(ProgramArgumentsFrom(commandLine), arguments);
}

TEST(SplitString, KeepsEmptyElementsButNoTrailingOne)
{
    const std::tuple<std::u16string, std::u16string, StringList> cases[] = {
        {u"1.8;;11", u";", {u"1.8", u"", u"11"}}, {u"1.8;", u";", {u"1.8"}}, {u";1.8", u";", {u"", u"1.8"}},
        {u"11", u";", {u"11"}}, {u"", u";", {}}, {u";", u";", {u""}}, {u"a\r\nb\nc\r\n", u"\r\n", {u"a", u"b\nc"}},
    };
    for (const auto& [text, separator, expected] : cases) {
        StringList list{u"stale"};
        SplitString(text, separator, list);
        EXPECT_EQ(list, expected);
    }
}

TEST(TrimWhiteSpace, RemovesUnicodeSpacesAtBothEnds)
{
    EXPECT_EQ(TrimWhiteSpace(u"\t"), u"");
    EXPECT_EQ(TrimWhiteSpace(u" \u3000a b\u00a0\r\n"), u"a b");
    EXPECT_EQ(TrimWhiteSpace(u"x"), u"x");
}

TEST(Switches, ExactAndCaselessTests)
{
    EXPECT_TRUE(IsExactly(u"yes", u"yes"));
    EXPECT_FALSE(IsExactly(u"Yes", u"yes"));
    EXPECT_FALSE(IsExactly(u"yes ", u"yes"));
    EXPECT_TRUE(IsCaseless(u"YES", u"Yes"));
    EXPECT_TRUE(IsCaseless(u"yEs", u"Yes"));
    EXPECT_FALSE(IsCaseless(u"Ye", u"Yes"));
    // Only ASCII letters fold: other characters must match exactly.
    EXPECT_FALSE(IsCaseless(u"\u00c4", u"\u00e4"));
}

TEST(Utf8, RoundTripsEveryPlane)
{
    const std::u16string text = u"Gr\u00fc\u00dfe \u65e5\u672c\uFFFF \U0001F600\U00010000";
    EXPECT_EQ(os::ToUtf8(text),
              "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC\xEF\xBF\xBF \xF0\x9F\x98\x80\xF0\x90\x80\x80");
    EXPECT_EQ(os::FromUtf8(os::ToUtf8(text)), text);
    EXPECT_EQ(os::ToUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF"); // the last pair of surrogates
}

TEST(Utf8, DamagedInputBecomesReplacementCharacters)
{
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\x80", u"\uFFFD"},             // a continuation byte leads nothing
        {"\xE6\x97", u"\uFFFD"},           // cut sequence
        {"\xC1\xBF", u"\uFFFD"},           // overlong
        {"\xC0\x80", std::u16string(1, u'\0')}, // Java's NUL
        {"\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"}, // Java's surrogate pair
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(os::FromUtf8(bytes), expected);
    EXPECT_EQ(os::ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(MessageText, ComposedMessagesReadAsShown)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {FormatFromId(MessageId::WindowsException, {DetailText(MessageId::ModulePathFailed), 5}),
         u"Windows exception: failed to get the module path (errno = 5).\n"},
        {FormatMessageText(u"%d %d", {0, -7}), u"0 -7"},
        {FormatFromId(MessageId::JniException, {DetailText(MessageId::CreateJavaVmFailed),
                                                DetailText(MessageId::ReasonInvalidArguments)}),
         u"JNI exception: failed to create the Java VM\nReason: invalid arguments.\n"},
        {FormatFromId(MessageId::JniException, {DetailText(MessageId::CreateJavaVmFailed), u""}),
         u"JNI exception: failed to create the Java VM\nReason: .\n"},
        {FormatFromId(MessageId::VmLibraryLoadFailed, {u"C:\\jre\\bin\\server\\jvm.dll", -2147483647 - 1}),
         u"Failed to load Java VM library: C:\\jre\\bin\\server\\jvm.dll (errno = -2147483648).\n"},
        {FormatFromId(MessageId::JreNotFound, {FormatFromId(MessageId::MinimumVersion, {u"1.8"})}),
         u"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
         u"(minimum version 1.8) from:"},
        {FormatFromId(MessageId::VersionBetween, {u"1.8"}), u"version between 1.8 and "},
        {FormatMessageText(u"100%% %q %", {}), u"100% %q %"},
        {MessageText(MessageId::MainMethodNotFound), u"No main method found in specified class.\n"},
        {MessageText(static_cast<MessageId>(999)), u""},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

TEST(MessageText, EveryIdFrom202To230HasAText)
{
    for (int id = 202; id <= 230; ++id) {
        EXPECT_FALSE(MessageText(static_cast<MessageId>(id)).empty()) << id;
    }
}

TEST(EnvironmentExpansion, ReferencesBetweenTwoPercentSigns)
{
    const std::map<std::u16string, std::u16string> environment{
        {u"A", u"x"}, {u"B", u"y"}, {u"EMPTY", u""}};
    const os::VariableLookup lookup = [&](const std::u16string& name) {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    };
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"", u""},          {u"plain", u"plain"}, {u"%A%\\%B%", u"x\\y"}, {u"%A%%B%", u"xy"},
        {u"a%EMPTY%b", u"ab"}, {u"%UNSET%", u"%UNSET%"},
        {u"%UNSET%A%", u"%UNSETx"}, // the closing "%" opens the next reference
        {u"%%", u"%%"},      {u"%%A%", u"%x"},     {u"50%", u"50%"},       {u"%A%%", u"x%"},
        {u"%a%", u"%a%"},    // names are looked up as written
    };
    for (const auto& [text, expanded] : cases) {
        EXPECT_EQ(os::ExpandPercentReferences(text, lookup), expanded);
    }
}

// Settings written for Windows name variables in any letter case.
#ifndef _WIN32 // Windows holds one variable per name, whatever its case.
TEST(EnvironmentExpansion, ANameMatchesIgnoringCaseUnlessOneMatchesExactly)
{
    const test::ScopedEnvironmentVariable home{u"TALA_TEST_HOME", u"/home/u"};
    const test::ScopedEnvironmentVariable upper{u"TALA_TEST_BOTH", u"upper"};
    const test::ScopedEnvironmentVariable lower{u"tala_test_both", u"lower"};
    const test::ScopedEnvironmentVariable unset{u"TALA_TEST_UNSET", std::nullopt};
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"%Tala_Test_Home%/x", u"/home/u/x"}, {u"%tala_test_home%", u"/home/u"},
        {u"%TALA_TEST_BOTH%", u"upper"},        {u"%tala_test_both%", u"lower"},
        {u"%Tala_Test_Unset%", u"%Tala_Test_Unset%"},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(os::ExpandEnvironmentReferences(text), expanded);
}
#endif

} // namespace
} // namespace tala
