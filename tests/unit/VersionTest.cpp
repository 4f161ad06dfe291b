// Runtime versions: read, compared, matched and shown, and the phrase the
// runtime-not-found message names the version the application needs with.
#include "runtime/VersionNumber.h"
#include "runtime/VersionRequirement.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

using Parts = std::array<std::int32_t, 4>;

TEST(VersionNumber, ParsesAnyTextBetweenDigitsAsSeparator)
{
    struct Case { std::u16string text; std::int32_t fill; bool ok; Parts parts; std::int32_t partCount; };
    const Case cases[] = {
        {u"1.8.0_151", 0, true, {1, 8, 0, 151}, 4},
        {u"9", 0, true, {9, 0, 0, 0}, 1},
        {u"9", 65535, true, {9, 65535, 65535, 65535}, 1},
        {u"10.0.1", 65535, true, {10, 0, 1, 65535}, 3},
        {u"11.0.2+9", 0, true, {11, 0, 2, 9}, 4},
        {u"1.8.0_151-b12", 0, true, {1, 8, 0, 151}, 4},
        {u"jdk1.8.0_202", 0, true, {1, 8, 0, 202}, 4},
        {u"1.2.3.4.5", 0, true, {1, 2, 3, 4}, 4},
        {u"0.0", 0, true, {0, 0, 0, 0}, 2},
        {u"2147483647", 0, true, {2147483647, 0, 0, 0}, 1},
        {u"1.2147483648", 0, false, {0, 0, 0, 0}, 0},
        {u"99999999999999999999", 65535, false, {0, 0, 0, 0}, 0},
        {u"", 0, false, {0, 0, 0, 0}, 0},
        {u"abc", 65535, false, {0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        VersionNumber version(7, 7, 7, 7);
        EXPECT_EQ(version.Parse(c.text, c.fill), c.ok);
        EXPECT_EQ(version.parts, c.parts);
        EXPECT_EQ(version.partCount, c.partCount);
    }
}

TEST(VersionNumber, BoundsTreatOnlyTheExactWordAnyAsUnbounded)
{
    using Bound = VersionNumber::Bound;
    const std::tuple<std::u16string, Bound, Parts> cases[] = {
        {u"any", Bound::Minimum, {0, 0, 0, 0}}, {u"any", Bound::Maximum, {65535, 65535, 65535, 65535}},
        {u"Any", Bound::Maximum, {0, 0, 0, 0}}, {u" any", Bound::Maximum, {0, 0, 0, 0}},
        {u"", Bound::Maximum, {0, 0, 0, 0}}, {u"1.8", Bound::Minimum, {1, 8, 0, 0}},
        {u"1.8", Bound::Maximum, {1, 8, 65535, 65535}},
    };
    for (const auto& [text, bound, parts] : cases) EXPECT_EQ(VersionNumber::ParseBound(text, bound).parts, parts);
    EXPECT_EQ(VersionNumber::ParseBound(u"any", Bound::Maximum).partCount, 4);
}

TEST(VersionNumber, ComparesPartByPartIgnoringPartCount)
{
    EXPECT_EQ(VersionNumber::Compare({1, 8, 0, 151}, {1, 8, 0, 151, 1}), 0);
    EXPECT_EQ(VersionNumber::Compare({1, 8, 0, 151}, {1, 10, 0, 0}), -1);
    EXPECT_EQ(VersionNumber::Compare({11, 0, 0, 0}, {1, 8, 65535, 65535}), 1);
    EXPECT_TRUE(VersionNumber(1, 8, 0, 0) < VersionNumber(1, 8, 65535, 65535));
    EXPECT_FALSE(VersionNumber(1, 8, 0, 0) == VersionNumber(1, 8, 65535, 65535));
}

TEST(VersionNumber, PatternsMatchOnTheirSignificantParts)
{
    const std::tuple<VersionNumber, VersionNumber, bool> cases[] = {
        {{1, 8, 0, 0}, {1, 8, 0, 0}, true}, {{1, 8, 0, 151}, {1, 8, 0, 0}, true},
        {{1, 9, 0, 0}, {1, 8, 0, 0}, false}, {{11, 0, 2, 9}, {11, 0, 0, 0}, true},
        {{1, 0, 2, 7}, {1, 0, 2, 0}, true}, {{1, 8, 0, 6}, {1, 8, 0, 5}, false},
        {{1, 3, 0, 5}, {1, 0, 0, 5}, false}, {{17, 0, 1, 0}, {0, 0, 0, 0}, true},
    };
    for (const auto& [candidate, pattern, matches] : cases) {
        EXPECT_EQ(VersionNumber::MatchesPrefix(candidate, pattern), matches);
    }
}

TEST(VersionNumber, DisplayShowsAtLeastTwoParts)
{
    const std::tuple<VersionNumber, std::u16string, bool> cases[] = {
        {{1, 8, 0, 0}, u"1.8", false}, {{9, 0, 0, 0}, u"9.0", false}, {{7, 0, 0, 0}, u"7.0", false},
        {{1, 8, 0, 151}, u"1.8.0.151", false}, {{1, 8, 65535, 65535}, u"1.8", false},
        {{10, 0, 1, 65535}, u"10.0.1", false}, {{1, 65535, 3, 0}, u"1.65535.3", false},
        {{65535, 65535, 65535, 65535}, u"0.0.0.0", true}, {{0, 0, 0, 0}, u"0.0.0.0", true},
        {{0, 65535, 65535, 65535}, u"0.0.0.0", false},
    };
    for (const auto& [version, text, unbounded] : cases) {
        EXPECT_EQ(version.ToDisplayString(), text);
        EXPECT_EQ(version.IsUnbounded(), unbounded);
    }
}

TEST(VersionRequirement, PhraseForEachPairOfBounds)
{
    using Bound = VersionNumber::Bound;
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"any", u"any", u"latest version"}, {u"", u"", u"latest version"},
        {u"1.8", u"1.8", u"version between 1.8 and 1.8"},
        {u"1.8.0.151", u"1.8.0.151", u"version 1.8.0.151 is required"},
        {u"1.8", u"", u"minimum version 1.8"}, // an empty maximum reads as no bound here
        {u"any", u"11", u"maximum version 11.65535"}, // at least two parts are shown
        {u"11", u"17.0.2", u"version between 11.0 and 17.0.2"},
    };
    for (const auto& [minimum, maximum, phrase] : cases) {
        EXPECT_EQ(DescribeVersionRequirement(VersionNumber::ParseBound(minimum, Bound::Minimum),
                                             VersionNumber::ParseBound(maximum, Bound::Maximum)),
                  phrase);
    }
}

TEST(VersionRequirement, AServerRequirementIsNamed)
{
    LauncherSettings settings;
    settings.jvmType = JvmType::Server;
    EXPECT_EQ(RuntimeNotFoundMessage(settings),
              u"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
              u"with a server JVM (latest version) from:");
    settings.jvmType = JvmType::FavorServer;
    EXPECT_EQ(RuntimeNotFoundMessage(settings),
              u"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
              u"(latest version) from:");
}

} // namespace
} // namespace tala
