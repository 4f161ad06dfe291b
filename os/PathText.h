// Paths as text: the few cuts and joins the launcher makes, for either path
// style, so that every stage cuts a folder or adds a separator the same way.
#pragma once

#include "os/PathStyle.h"

#include <string>
#include <string_view>

namespace tala::os {

// The text before the last separator; empty when there is none.
std::u16string_view FolderOf(std::u16string_view path, PathStyle style);

// The text up to and with the last separator; empty when there is none.
std::u16string_view FolderWithSeparatorOf(std::u16string_view path, PathStyle style);

// The text after the last separator; the whole path when there is none.
std::u16string_view FileNameOf(std::u16string_view path, PathStyle style);

bool EndsWithSeparator(std::u16string_view path, PathStyle style);

// The folder, a separator unless it ends with one already, and the name. An
// empty folder gives the name behind a separator.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name, PathStyle style);

// The folder ending with exactly the separators it had, or with one.
std::u16string WithTrailingSeparator(std::u16string_view folder, PathStyle style);

// A path that needs no folder in front: a drive ("C:...") or network path
// ("\\...") on Windows, a path from the root ("/...") on POSIX.
bool IsAbsolutePath(std::u16string_view path, PathStyle style);

} // namespace tala::os
