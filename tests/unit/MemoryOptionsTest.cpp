// Heap and stack sizes given as a share of the machine's memory, on made-up
// machines, and the Java thread's stack size read from -Xss.
#include "os/Utf8.h"
#include "os/Memory.h"
#include "vm/MemoryOptions.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace tala {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(PercentMemoryOption, RewrittenToKilobytesOfTheChosenBase)
{
    struct Case {
        std::u16string parameter;
        MemoryBase base;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"-Xmx50:256:1024P", {8 * kGiB, 0}, u"-Xmx1048576K"}, // capped at the maximum
        {u"-Xmx25p", {16 * kGiB, 0}, u"-Xmx4194304K"},
        {u"-Xms10:512:256P", {1 * kGiB, 0}, u"-Xms524288K"},   // the minimum wins over the maximum
        {u"-Xmx:2048P", {8 * kGiB, 0}, u"-Xmx2097152K"},       // empty percentage, then the minimum
        {u"-Xmx10:0:0:99P", {1 * kGiB, 0}, u"-Xmx104857K"},    // truncated; a fourth number ignored
        {u"-Xss1.5:0P", {1 * kGiB, 0}, u"-Xss157286K"},        // "." skipped: 15 percent
        {u"-Xmx50t", {1 * kGiB, 128 * 1024 * kGiB}, u"-Xmx68719476736K"}, // beyond 2^31 KB, in full
        {u"-Xmx18446744073709551616P", {kGiB, 0}, u"-Xmx18446744073709551615K"}, // 64 bits at most
        {u"-XmxP", {8 * kGiB, 0}, u"-XmxP0K"},
        // Not in the percentage form: unchanged.
        {u"-Xmx512m", {8 * kGiB, 0}, u"-Xmx512m"},
        {u"-xmx50P", {8 * kGiB, 0}, u"-xmx50P"},
        {u"-Xmn50P", {8 * kGiB, 0}, u"-Xmn50P"},
    };
    for (const Case& c : cases) {
        std::u16string parameter = c.parameter;
        RewriteMemoryOption(parameter, c.base);
        EXPECT_EQ(parameter, c.expected);
        EXPECT_EQ(IsPercentMemoryOption(c.parameter), parameter != c.parameter);
    }
}

TEST(StackSize, OneNumberWithAnOptionalUnit)
{
    const std::pair<std::u16string, std::uint64_t> cases[] = {
        {u"512k", 524288}, {u"2m", 2097152}, {u"1g", 1073741824}, {u"2G", 2147483648},
        {u"65536", 65536}, {u"1.5m", 15728640}, {u"1048576K", 1073741824},
        {u"1:2m", 0}, {u"m", 0}, {u"x1m", 0}, {u"", 0},
        {u"99999999999999999999k", UINT64_MAX}, // too large to hold: the largest value
    };
    for (const auto& [size, bytes] : cases) {
        EXPECT_EQ(ReadStackSize(size), bytes) << os::ToUtf8(size);
    }
}

#ifndef _WIN32
TEST(MemoryStatus, IsThePhysicalMemoryAndTheAddressSpaceNotMappedYet)
{
    const os::MemoryStatus memory = os::ReadMemoryStatus();
    EXPECT_EQ(memory.totalPhysical, std::uint64_t(sysconf(_SC_PHYS_PAGES)) * std::uint64_t(sysconf(_SC_PAGESIZE)));
    EXPECT_GT(memory.availableVirtual, 0u);
    EXPECT_LT(memory.availableVirtual, std::uint64_t{1} << 47);
    // Under a limit of the address space, the limit is what there is.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &saved), 0);
    rlimit lower = saved;
    lower.rlim_cur = rlim_t{1} << 46;
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &lower), 0);
    const std::uint64_t limited = os::ReadMemoryStatus().availableVirtual;
    ::setrlimit(RLIMIT_AS, &saved);
    EXPECT_LT(limited, std::uint64_t{1} << 46);
}
#endif

} // namespace
} // namespace tala
