// The POSIX stand-ins for Windows facilities the runtime search uses: runtime
// folders as registry keys, and the ELF class as the library's architecture.
#include "os/ImageArchitecture.h"
#include "os/posix/RuntimeFolders.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

namespace tala::os {
namespace {

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
}

TEST(ImageArchitecture, OnlyA32BitElfCounts)
{
    const std::string elf32 = std::string("\x7F" "ELF\x01\x01\x01", 7) + std::string(57, '\0');
    const std::string elf64 = std::string("\x7F" "ELF\x02\x01\x01", 7) + std::string(57, '\0');
    // The file's bytes (none: no such file) and whether it is a 32-bit x86 image.
    const std::tuple<const char*, std::optional<std::string>, bool> cases[] = {
        {"32-bit ELF", elf32, true},
        {"64-bit ELF", elf64, false},
        {"cut after the magic", std::string("\x7F" "ELF", 4), false},
        {"empty", "", false},
        {"text", "JAVA_VERSION=\"17\"\n", false},
        {"missing", std::nullopt, false},
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
