// The block a single-instance launcher shares with its later starts: the
// instance name and the little-endian header numbers. The argument block's
// limits are proven end to end by the single-instance tests of both tiers.
#include "instance/InstanceBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tala {
namespace {

TEST(InstanceName, EveryPathSeparatorBecomesAnUnderscoreAndCaseIsKept)
{
    const std::tuple<std::u16string, os::PathStyle, std::u16string> cases[] = {
        {u"C:\\Apps\\Tool\\tool.exe", os::PathStyle::Windows, u"C:_Apps_Tool_tool.exe"},
        {u"C:\\APPS\\TOOL\\TOOL.EXE", os::PathStyle::Windows, u"C:_APPS_TOOL_TOOL.EXE"},
        {u"\\\\server\\share\\a/b.exe", os::PathStyle::Windows, u"__server_share_a/b.exe"},
        {u"/opt/shop/shop", os::PathStyle::Posix, u"_opt_shop_shop"},
        {u"/opt/Shop/shop", os::PathStyle::Posix, u"_opt_Shop_shop"},
    };
    for (const auto& [path, style, name] : cases) EXPECT_EQ(InstanceNameFor(path, style), name);
}

TEST(InstanceBlockNumbers, AreLittleEndianAtTheirOffsets)
{
    std::array<std::byte, kInstanceBlockSize> bytes{};
    const InstanceBlock block(bytes);
    WriteBlockNumber(block, kHandOffMessageOffset, 0xC0DE1234u);
    const std::array<std::byte, 4> expected{std::byte{0x34}, std::byte{0x12}, std::byte{0xDE}, std::byte{0xC0}};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + kHandOffMessageOffset));
    EXPECT_EQ(ReadBlockNumber(block, kHandOffMessageOffset), 0xC0DE1234u);
    EXPECT_EQ(ReadBlockNumber(block, kProcessIdOffset), 0u);
}

} // namespace
} // namespace tala
