// Heap and stack sizes as a share of memory on made-up machines, -Xss, and output file patterns.
#include "os/Memory.h"
#include "os/Utf8.h"
#include "vm/MemoryOptions.h"
#include "vm/OutputFiles.h"

#include <gtest/gtest.h>

#include <set>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace tala {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(PercentMemoryOption, RewrittenToKilobytesOfTheChosenBase)
{
    struct Case { std::u16string parameter; MemoryBase base; std::u16string expected; };
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
        {u"-Xmx512m", {8 * kGiB, 0}, u"-Xmx512m"}, {u"-xmx50P", {8 * kGiB, 0}, u"-xmx50P"},
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
    EXPECT_LT(memory.availableVirtual, std::uint64_t{1} << 47);
    // Under a limit of the address space, the limit is what there is;
    // without one, a 64-bit process has far more than a 32-bit one could.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &saved), 0);
    if (saved.rlim_cur == RLIM_INFINITY) {
        EXPECT_GT(memory.availableVirtual, std::uint64_t{1} << 40);
    }
    rlimit lower = saved;
    lower.rlim_cur = rlim_t{1} << 46;
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &lower), 0);
    const std::uint64_t limited = os::ReadMemoryStatus().availableVirtual;
    ::setrlimit(RLIMIT_AS, &saved);
    EXPECT_LT(limited, std::uint64_t{1} << 46);
}
#endif

using os::PathStyle;

// Sunday 3 May 2026, 14:05:09.042.
constexpr os::LocalTime kMoment{2026, 5, 0, 3, 14, 5, 9, 42};

TEST(DateTimePattern, TimePicturesFirstThenDatePictures)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"C:\\logs\\run_%yyyyMMdd_HHmmss_L%.txt", u"C:\\logs\\run_20260503_140509_42.txt"},
        {u"out_%HHmmss%_%L%.log", u"out_140509%_%42.log"}, {u"out%.log", u"out.log"}, {u"plain.log", u"plain.log"},
        {u"x%'at L'%", u"xat 42"},
        {u"%tt%", u"P5"}, // "PM" from the time step, its M read again as the month
        {u"%dddd, MMMM d yy%", u"Sunday, May 3 26"}, {u"%ddd MMM hh:mm t%", u"Sun May 02:05 P"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(ExpandDateTimePattern(name, kMoment), expected);
    EXPECT_EQ(ExpandDateTimePattern(u"%h%", os::LocalTime{2026, 5, 0, 3, 0, 0, 0, 7}), u"12");
}

// Folders as the walk sees them: which exist, which cannot be made.
class FakeFolders : public FolderSystem {
public:
    FakeFolders(std::set<std::u16string> existing, std::set<std::u16string> failing)
        : existing_(std::move(existing)), failing_(std::move(failing)) {}

    bool Exists(const std::u16string& path) const override { return existing_.count(path) != 0; }
    os::FolderCreation Create(const std::u16string& path) override
    {
        calls += u"+" + path + u" ";
        if (failing_.count(path) != 0) return os::FolderCreation::Failed;
        return existing_.insert(path).second ? os::FolderCreation::Created : os::FolderCreation::AlreadyExists;
    }
    void RemoveIfEmpty(const std::u16string& path) override { calls += u"-" + path + u" "; }

    std::u16string calls;

private:
    std::set<std::u16string> existing_;
    std::set<std::u16string> failing_;
};

TEST(ParentFolders, MadeBetweenTheRootAndTheFileName)
{
    struct Case { std::u16string path; PathStyle style; std::set<std::u16string> existing, failing;
        std::u16string calls; };
    const Case cases[] = {
        {u"C:\\a\\b\\c\\out.txt", PathStyle::Windows, {}, {}, u"+C:\\a +C:\\a\\b +C:\\a\\b\\c "},
        {u"C:\\a\\out.txt", PathStyle::Windows, {u"C:\\a\\out.txt"}, {}, u""},
        {u"\\\\server\\share\\logs\\out.txt", PathStyle::Windows, {}, {u"\\\\server\\share"},
         u"+\\\\server\\share +\\\\server\\share\\logs "},
        {u"\\\\?\\C:\\a\\out.txt", PathStyle::Windows, {}, {}, u"+\\\\?\\C:\\a "},
        {u"\\logs\\out.txt", PathStyle::Windows, {}, {}, u"+\\logs "},
        {u"logs\\sub\\out.txt", PathStyle::Windows, {}, {}, u"+logs\\sub "},
        {u"out.txt", PathStyle::Windows, {}, {}, u""},
        {u"C:\\a\\b\\c\\out.txt", PathStyle::Windows, {}, {u"C:\\a\\b"}, u"+C:\\a +C:\\a\\b -C:\\a "},
        {u"C:\\a\\b\\out.txt", PathStyle::Windows, {}, {u"C:\\a"}, u"+C:\\a "},
        {u"/var/log/shop/out.txt", PathStyle::Posix, {u"/var"}, {}, u"+/var +/var/log +/var/log/shop "},
    };
    for (const Case& c : cases) {
        FakeFolders folders(c.existing, c.failing);
        EnsureParentFolders(c.path, folders, c.style);
        EXPECT_EQ(folders.calls, c.calls);
    }
}

} // namespace
} // namespace tala
