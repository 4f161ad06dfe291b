// File names with date and time patterns, and the folders made for them.
#include "vm/OutputFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace tala {
namespace {

using os::PathStyle;

// Sunday 3 May 2026, 14:05:09.042.
constexpr os::LocalTime kMoment{2026, 5, 0, 3, 14, 5, 9, 42};

TEST(DateTimePattern, TimePicturesFirstThenDatePictures)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"C:\\logs\\run_%yyyyMMdd_HHmmss_L%.txt", u"C:\\logs\\run_20260503_140509_42.txt"},
        {u"out_%HHmmss%_%L%.log", u"out_140509%_%42.log"},
        {u"out%.log", u"out.log"},
        {u"plain.log", u"plain.log"},
        {u"x%'at L'%", u"xat 42"},
        {u"%tt%", u"P5"}, // "PM" from the time step, its M read again as the month
        {u"%dddd, MMMM d yy%", u"Sunday, May 3 26"},
        {u"%ddd MMM hh:mm t%", u"Sun May 02:05 P"},
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
        return existing_.insert(path).second ? os::FolderCreation::Created
                                             : os::FolderCreation::AlreadyExists;
    }
    void RemoveIfEmpty(const std::u16string& path) override { calls += u"-" + path + u" "; }

    std::u16string calls;

private:
    std::set<std::u16string> existing_;
    std::set<std::u16string> failing_;
};

TEST(ParentFolders, MadeBetweenTheRootAndTheFileName)
{
    struct Case {
        std::u16string path;
        PathStyle style;
        std::set<std::u16string> existing, failing;
        std::u16string calls;
    };
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
