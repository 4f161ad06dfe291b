// Lists of paths in one text (class path, library path, PATH): the separator
// between their entries on each platform.
#pragma once

#include "os/PathStyle.h"

namespace tala::os {

constexpr char16_t PathListSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? u';' : u':';
}

} // namespace tala::os
