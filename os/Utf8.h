// UTF-16 <-> UTF-8 conversion at the edges where the launcher meets byte
// strings (POSIX system calls, files, text coming back from Java).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tala::os {

// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Invalid sequences become U+FFFD. Surrogates written as three-byte sequences
// and the two-byte form of U+0000 are accepted, so Java's modified UTF-8
// decodes to the code units it stands for. With unitStarts, also the offset of
// the bytes each code unit comes from (both units of a pair share one).
std::u16string FromUtf8(std::string_view bytes, std::vector<std::size_t>* unitStarts = nullptr);

} // namespace tala::os
