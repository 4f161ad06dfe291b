// The version information Explorer's Details tab and installers read: a
// VERSIONINFO resource with one string table, US English in UTF-16.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tala::pack {

using VersionStrings = std::vector<std::pair<std::u16string, std::u16string>>;

// The names a string may have; others are refused, as a misspelt name would
// show nowhere.
bool IsVersionStringName(std::u16string_view name);

// The resource's data for these strings, in their order. A "FileVersion" or
// "ProductVersion" of one to four dotted numbers (each at most 65535) also
// fills the binary version of the same name.
std::string BuildVersionResource(const VersionStrings& strings);

} // namespace tala::pack
