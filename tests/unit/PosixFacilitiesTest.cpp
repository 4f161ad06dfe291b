// The POSIX stand-ins for Windows facilities: INI files, wildcard search, runtime folders as
// registry keys, the ELF class as the architecture, private cache folders.
#include "os/FileSearch.h"
#include "os/Files.h"
#include "os/ImageArchitecture.h"
#include "os/UserCache.h"
#include "os/posix/IniText.h"
#include "os/posix/PrivateFolder.h"
#include "os/posix/RuntimeFolders.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tala::os {
namespace {

using namespace ini;

TEST(IniText, DecodesTheEncodingsUsersSave)
{
    const std::tuple<std::string, std::u16string, Encoding> cases[] = {
        {"[S]\nK=Gr\xC3\xBC\xC3\x9F" "e", u"[S]\nK=Gr\u00fc\u00dfe", Encoding::Utf8},
        {"\xEF\xBB\xBFK=v", u"K=v", Encoding::Utf8WithBom},
        {std::string("\xFF\xFEK\0=\0\xE5\x65", 8), u"K=\u65e5", Encoding::Utf16Le},
        {std::string("\xFE\xFF\0K\0=\0v", 8), u"K=v", Encoding::Utf16Be},
        {std::string("\xFF\xFEK\0=", 5), u"K", Encoding::Utf16Le}, // odd byte dropped
    };
    for (const auto& [bytes, text, encoding] : cases) {
        const DecodedText decoded = Decode(bytes);
        EXPECT_EQ(decoded.text, text);
        EXPECT_EQ(decoded.encoding, encoding);
    }
}

TEST(IniText, LinesAsTheProfileFunctionsReadThem)
{
    const std::u16string text = u"K=before any section\r\n[ Spaced ]\r\n[broken header\r\n\t key \t= \t v \t\x1A\r\n"
                                u"[Two]\r\nA=1\r\n[two]\r\nA=2\r\nB=3\r\n";
    const std::tuple<std::u16string, std::u16string, std::optional<std::u16string>> cases[] = {
        {u" spaced ", u"KEY", u"v"}, {u" Spaced ", u"[broken header", u""}, {u"Spaced", u"key", std::nullopt},
        {u"two", u"a", u"1"},
        {u"Two", u"B", std::nullopt}, // only the first section of a name is searched
    };
    for (const auto& [section, key, value] : cases) EXPECT_EQ(FindValue(text, section, key), value);
    EXPECT_EQ(SectionNames(text), (std::vector<std::u16string>{u" Spaced ", u"Two", u"two"}));
}

TEST(IniText, WritesChangeOnlyTheirLine)
{
    struct Case { std::u16string before, section, key, value, after; };
    const Case cases[] = {
        {u"", u"S", u"K", u"v", u"[S]\nK=v\n"},
        {u"; mine\r\n[S]\r\nk = old \r\nX=1\r\n", u"s", u"K", u"new", u"; mine\r\n[S]\r\nK=new\r\nX=1\r\n"},
        {u"[S]\nA=1\n\n[T]\nB=2", u"S", u"K", u"v", u"[S]\nA=1\nK=v\n\n[T]\nB=2"},
        {u"[T]\nB=2", u"S", u"K", u"v", u"[T]\nB=2\n[S]\nK=v\n"},
        {u"[S]\nA=1", u"S", u"K", u"v", u"[S]\nA=1\nK=v\n"},
    };
    for (const Case& c : cases) {
        const std::u16string after = WithValue(c.before, c.section, c.key, c.value);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(FindValue(after, c.section, c.key), c.value);
    }
}

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
        {"lib/*.jar", {u"[x].jar", u"a.jar", u"ab.jar", u"b.jar"}}, {"lib/?.jar", {u"a.jar", u"b.jar"}},
        {"lib/*b*", {u"ab.jar", u"b.jar", u"sub"}},
        {"lib/*", {u".", u"..", u"[x].jar", u"a.jar", u"ab.jar", u"b.jar", u"c.txt", u"sub"}},
        {"lib/[x].jar", {u"[x].jar"}}, // no wildcard: the entry itself
        {"lib/*.JAR", {}}, {"lib/missing.jar", {}},
        {"l*/a.jar", {}}, // a wildcard in a folder name is taken literally
    };
    for (const auto& [pattern, expected] : cases) {
        Names found = os::FindMatchingNames(folder.Child(pattern));
        std::sort(found.begin(), found.end()); // the system's order is its own
        EXPECT_EQ(found, expected) << pattern;
    }
}

namespace fs = std::filesystem;

void MakeRuntime(const fs::path& home, const std::string& release, bool jdk)
{
    fs::create_directories(home / "bin");
    if (!release.empty()) test::WriteBytes(home / "release", release);
    if (jdk) test::WriteBytes(home / "bin" / "javac", "");
}

TEST(RuntimeFolders, EachRuntimeFolderIsOneKeyOfItsKind)
{
    test::TempFolder roots;
    const fs::path first = roots.Path() / "jvm";
    const fs::path second = roots.Path() / "java";
    MakeRuntime(first / "jdk-17", "IMPLEMENTOR=\"Debian\"\nJAVA_VERSION=\"17.0.15\"\n", true);
    MakeRuntime(first / "jre-11", "JAVA_VERSION=11.0.2\r\n", false);
    MakeRuntime(first / "no-release", "", true);
    MakeRuntime(first / "no-version", "IMPLEMENTOR=x\n", true);
    MakeRuntime(second / "other-jdk-17", "JAVA_VERSION=\"17.0.15\"\n", true);
    fs::create_directory_symlink(first / "jdk-17", first / "a-link-to-jdk-17");

    const std::vector<RuntimeFolder> found =
        ScanRuntimeFolders({first.string(), second.string(), (roots.Path() / "absent").string()});

    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, u"17.0.15");
    EXPECT_EQ(found[0].home, fs::canonical(first / "jdk-17").u16string());
    EXPECT_TRUE(found[0].isJdk);
    EXPECT_EQ(found[1].name, u"11.0.2");
    EXPECT_FALSE(found[1].isJdk);
    // A home's identity: its real path, or as written less the separators it ends with.
    EXPECT_EQ(PathIdentity((first / "a-link-to-jdk-17/").u16string()), found[0].home);
    EXPECT_EQ(PathIdentity((first / "gone//").u16string()), (first / "gone").u16string());
    EXPECT_EQ(PathIdentity(u"/"), u"/");
}

// The startup cache's folder: levels of the user's own, below a root others
// cannot rearrange; the root's missing folders are made.
TEST(UserCache, PrivateFoldersOnlyBelowARootOthersCannotRearrange)
{
    const std::tuple<const char*, std::optional<fs::perms>, std::u16string, bool> cases[] = {
        {"a root yet to be made", std::nullopt, u"Shop", true},
        {"a shared root with the sticky bit", fs::perms::all | fs::perms::sticky_bit, u"Shop", true},
        {"a root others may write to", fs::perms::all, u"Shop", false},
        {"a level that climbs out", fs::perms::owner_all, u"..", false},
    };
    for (const auto& [rule, mode, level, made] : cases) {
        test::TempFolder folder;
        const fs::path root = folder.Path() / "missing" / "root";
        if (mode) fs::create_directories(root), fs::permissions(root, *mode);
        const std::u16string expected = made ? (root / level / "1").u16string() : u"";
        EXPECT_EQ(MakePrivateFolder(root.u16string(), {level, u"1"}), expected) << rule;
    }
}

TEST(PrivateFolder, ALongNameIsCutToAFileNameThatStillTellsItsExecutableApart)
{
    const std::string tail(300, 'x');
    const std::string first = PrivateFileName("block./a/" + tail), second = PrivateFileName("block./b/" + tail);
    EXPECT_NE(first, second);
    for (const std::string& name : {first, second}) {
        EXPECT_LE(name.size(), 255u); // what one name in a folder may hold
        EXPECT_TRUE(name.ends_with(std::string(200, 'x'))) << name;
    }
    EXPECT_EQ(PrivateFileName("block./opt/shop"), "block._opt_shop");
}

TEST(ImageArchitecture, OnlyA32BitElfCounts)
{
    const std::string elf32 = std::string("\x7F" "ELF\x01\x01\x01", 7) + std::string(57, '\0');
    const std::string elf64 = std::string("\x7F" "ELF\x02\x01\x01", 7) + std::string(57, '\0');
    // The file's bytes (none: no such file) and whether it is a 32-bit x86 image.
    const std::tuple<const char*, std::optional<std::string>, bool> cases[] = {
        {"32-bit ELF", elf32, true}, {"64-bit ELF", elf64, false},
        {"cut after the magic", std::string("\x7F" "ELF", 4), false},
        {"empty", "", false}, {"text", "JAVA_VERSION=\"17\"\n", false}, {"missing", std::nullopt, false},
    };
    test::TempFolder folder;
    for (const auto& [file, bytes, x86] : cases) {
        const fs::path path = folder.Path() / file;
        if (bytes) test::WriteBytes(path, *bytes);
        EXPECT_EQ(IsX86Image(path.u16string()), x86) << file;
    }
}

} // namespace
} // namespace tala::os
