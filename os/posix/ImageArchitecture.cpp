#include "os/ImageArchitecture.h"

#include "os/Utf8.h"
#include "os/posix/FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>

namespace tala::os {

bool IsX86Image(const std::u16string& path)
{
    // The ELF identification: the magic bytes, then the class (1: 32-bit).
    constexpr std::array<unsigned char, 4> kMagic{0x7F, 'E', 'L', 'F'};
    constexpr unsigned char kClass32 = 1;
    const FileDescriptor file(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsValid()) return false;
    std::array<unsigned char, 5> identification{};
    std::size_t filled = 0;
    while (filled < identification.size()) {
        const ssize_t n = ::read(file.Get(), identification.data() + filled,
                                 identification.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        filled += static_cast<std::size_t>(n);
    }
    return std::equal(kMagic.begin(), kMagic.end(), identification.begin()) &&
           identification[4] == kClass32;
}

} // namespace tala::os
