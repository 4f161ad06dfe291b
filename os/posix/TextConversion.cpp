#include "os/TextConversion.h"

#include "os/Utf8.h"

namespace tala::os {

std::string ToAnsiCodePage(std::u16string_view text) { return ToUtf8(text); }

} // namespace tala::os
