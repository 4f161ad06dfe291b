// The directory search behind wildcard class path entries, on a real folder.
#include "os/FileSearch.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tala {
namespace {

TEST(FileSearch, WildcardsInTheLastComponentOnly)
{
    test::TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "lib");
    std::filesystem::create_directory(folder.Path() / "lib" / "sub");
    for (const char* name : {"a.jar", "b.jar", "c.txt", "[x].jar", "ab.jar"}) {
        test::WriteBytes(folder.Path() / "lib" / name, "");
    }
    using Names = std::vector<std::u16string>;
    const std::pair<std::string, Names> cases[] = {
        {"lib/*.jar", {u"[x].jar", u"a.jar", u"ab.jar", u"b.jar"}},
        {"lib/?.jar", {u"a.jar", u"b.jar"}},
        {"lib/*b*", {u"ab.jar", u"b.jar", u"sub"}},
        {"lib/*", {u".", u"..", u"[x].jar", u"a.jar", u"ab.jar", u"b.jar", u"c.txt", u"sub"}},
        {"lib/[x].jar", {u"[x].jar"}}, // no wildcard: the entry itself
        {"lib/*.JAR", {}},
        {"lib/missing.jar", {}},
        {"l*/a.jar", {}}, // a wildcard in a folder name is taken literally
    };
    for (const auto& [pattern, expected] : cases) {
        Names found = os::FindMatchingNames(folder.Child(pattern));
        std::sort(found.begin(), found.end()); // the system's order is its own
        EXPECT_EQ(found, expected) << pattern;
    }
}

} // namespace
} // namespace tala
