// The block a single-instance launcher shares with its later starts.
#include "instance/InstanceBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

namespace tala {
namespace {

using namespace std::string_literals;

constexpr std::size_t kUnits = kArgumentBlockSize / 2;

// Exactly as big as the argument block, on the heap: a read past its end is
// caught by the address sanitizer.
struct HeapArgumentBlock {
    HeapArgumentBlock() { std::fill_n(bytes.get(), kArgumentBlockSize, std::byte{0xAB}); }
    ArgumentBlock Span() { return ArgumentBlock(bytes.get(), kArgumentBlockSize); }

    void Put(const std::u16string& units)
    {
        std::fill_n(bytes.get(), kArgumentBlockSize, std::byte{0});
        for (std::size_t i = 0; i < units.size() && i < kUnits; ++i) {
            bytes[2 * i] = static_cast<std::byte>(units[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<std::byte>(units[i] >> 8);
        }
    }

    std::unique_ptr<std::byte[]> bytes = std::make_unique<std::byte[]>(kArgumentBlockSize);
};

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

TEST(WriteArgumentBlock, LaysDownEachArgumentAndItsTerminatorThenOneMore)
{
    // units: the block's start, zero behind it
    struct Case { const char* rule; StringList arguments; bool fits; std::u16string units; };
    const Case cases[] = {
        {"no arguments leave the block zero", {}, true, u""}, {"one empty argument", {u""}, true, u""},
        {"units in order, a zero after each", {u"ab", u"c"}, true, u"ab\0c\0"s},
        {"code units as they are, surrogates too", {u"\u00fc\U0001F600"}, true, u"\u00fc\U0001F600"},
        {"519 units with their terminators fit", {std::u16string(518, u'x')}, true, std::u16string(518, u'x')},
        {"so do two that make 519", {std::u16string(258, u'x'), std::u16string(259, u'y')}, true,
         std::u16string(258, u'x') + u'\0' + std::u16string(259, u'y')},
        {"520 do not", {std::u16string(519, u'x')}, false, u""},
        {"nor two that make 520", {std::u16string(259, u'x'), std::u16string(259, u'y')}, false, u""},
        {"nor a single huge one", {std::u16string(70000, u'x')}, false, u""},
    };
    for (const Case& c : cases) {
        HeapArgumentBlock written;
        const bool fits = WriteArgumentBlock(c.arguments, written.Span());
        EXPECT_EQ(fits, c.fits) << c.rule;
        HeapArgumentBlock expected;
        if (fits) expected.Put(c.units); // a failed write leaves the block as it was
        EXPECT_TRUE(std::equal(written.bytes.get(), written.bytes.get() + kArgumentBlockSize, expected.bytes.get()))
            << c.rule;
    }
}

TEST(ReadArgumentBlock, ReadsUpToTheFirstEmptyArgumentAndNeverPastTheBlock)
{
    const std::u16string full(kUnits, u'\uFFFF');
    // The units at the block's start, zero behind them, and the arguments read.
    const std::tuple<const char*, std::u16string, StringList> cases[] = {
        {"an all-zero block is one empty argument", u"", {u""}}, {"arguments in order", u"ab\0c\0"s, {u"ab", u"c"}},
        {"an empty argument ends the list", u"a\0\0b\0"s, {u"a"}},
        {"code units as they are", u"\u00fc\U0001F600", {u"\u00fc\U0001F600"}},
        {"a terminator in the last unit ends it", std::u16string(kUnits - 1, u'x'), {std::u16string(kUnits - 1, u'x')}},
        {"text that runs into the end is the last argument", full, {full}},
        {"after others too", u"a\0"s + std::u16string(kUnits - 2, u'y'), {u"a", std::u16string(kUnits - 2, u'y')}},
    };
    for (const auto& [rule, units, arguments] : cases) {
        HeapArgumentBlock block;
        block.Put(units);
        EXPECT_EQ(ReadArgumentBlock(block.Span()), arguments) << rule;
    }
}

} // namespace
} // namespace tala
