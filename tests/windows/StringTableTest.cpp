// The string table linked into the executable holds exactly the texts the
// sources define, read back through the launcher's own loader: an escape the
// resource compiler reads differently, or a truncated load, shows here.
#include "os/StringTable.h"
#include "tests/windows/MessageTexts.h"

#include <gtest/gtest.h>

#include <string>

namespace tala::test {
namespace {

class StringTable : public testing::TestWithParam<MessageEntry> {};

TEST_P(StringTable, HoldsTheTextOfTheSources)
{
    const MessageEntry& entry = GetParam();
    const std::u16string loaded = os::LoadMessageText(entry.id);
    EXPECT_EQ(std::wstring(loaded.begin(), loaded.end()), entry.text);
}

INSTANTIATE_TEST_SUITE_P(Messages, StringTable, testing::ValuesIn(kMessageEntries),
                         [](const testing::TestParamInfo<MessageEntry>& entry) {
                             return std::string(entry.param.name);
                         });

TEST(StringTable, HasNoTextForAnUnknownId)
{
    EXPECT_EQ(os::LoadMessageText(1), u"");
    EXPECT_EQ(os::LoadMessageText(9999), u"");
}

} // namespace
} // namespace tala::test
