// How the runtime-not-found message names the version the application needs.
#include "runtime/VersionRequirement.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

TEST(VersionRequirement, PhraseForEachPairOfBounds)
{
    using Bound = VersionNumber::Bound;
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"any", u"any", u"latest version"},
        {u"", u"", u"latest version"},
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
