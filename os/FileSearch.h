// A directory search: the entries of one folder whose names match a pattern.
#pragma once

#include <string>
#include <vector>

namespace tala::os {

// The names (without folder) that a search for pattern finds, files and
// folders alike, "." and ".." included when they match, in the order the
// system returns them; empty when it finds nothing. Only the last component
// of the pattern may hold the wildcards "*" (any run of characters) and "?"
// (one character); a pattern without them finds the entry itself.
std::vector<std::u16string> FindMatchingNames(const std::u16string& pattern);

} // namespace tala::os
