// Reading a file's first bytes the way the launcher checks a settings file:
// the file is opened without sharing, so one held open elsewhere reports a
// sharing violation instead of being read.
#include "os/Files.h"
#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>

namespace tala::test {
namespace {

constexpr std::optional<DWORD> kNotHeld;

struct HeaderCase {
    const char* rule;
    std::optional<std::string> content; // none: no file
    // Another handle reading the file meanwhile, opened with this share mode.
    std::optional<DWORD> heldWithSharing;
    std::uint32_t expectedError;
    std::array<std::uint8_t, 4> expectedHeader;
};

TEST(ReadFileHeader, ReadsUpToFourBytesOfAFileNobodyElseHasOpen)
{
    const HeaderCase cases[] = {
        {"a longer file: its first four bytes", "PK\x03\x04rest", kNotHeld, 0, {'P', 'K', 3, 4}},
        {"a short file: the rest stays zero", "ab", kNotHeld, 0, {'a', 'b', 0, 0}},
        {"an empty file: zeros", "", kNotHeld, 0, {0, 0, 0, 0}},
        {"a missing file", std::nullopt, kNotHeld, ERROR_FILE_NOT_FOUND, {0, 0, 0, 0}},
        {"held open without sharing", "[S]\r\n", 0, ERROR_SHARING_VIOLATION, {0, 0, 0, 0}},
        // The launcher's own open shares nothing, so even a sharing reader
        // keeps it out.
        {"held open by a sharing reader", "[S]\r\n", FILE_SHARE_READ | FILE_SHARE_WRITE,
         ERROR_SHARING_VIOLATION, {0, 0, 0, 0}},
    };
    for (const HeaderCase& c : cases) {
        TempFolder folder;
        const std::u16string path = folder.Child("Shop.ini");
        if (c.content) WriteBytes(folder.Path() / "Shop.ini", *c.content);
        os::UniqueHandle holder;
        if (c.heldWithSharing) {
            holder.reset(os::ValidOrNull(::CreateFileW(os::Wide(path), GENERIC_READ,
                                                       *c.heldWithSharing, nullptr, OPEN_EXISTING,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr)));
            ASSERT_NE(holder.get(), nullptr) << c.rule;
        }
        std::array<std::uint8_t, 4> header{9, 9, 9, 9};
        EXPECT_EQ(os::ReadFileHeader(path, header), c.expectedError) << c.rule;
        EXPECT_EQ(header, c.expectedHeader) << c.rule;
    }
}

} // namespace
} // namespace tala::test
