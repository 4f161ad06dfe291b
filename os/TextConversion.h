// The narrow text the Java runtime's C interfaces take (VM options, file
// names): the calling thread's ANSI code page on Windows, UTF-8 elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace tala::os {

// Characters the code page lacks become its default character; nothing is
// reported. An empty text gives an empty one.
std::string ToAnsiCodePage(std::u16string_view text);

} // namespace tala::os
