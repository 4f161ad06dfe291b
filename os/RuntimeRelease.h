// The "release" file every Java runtime since 8 carries in its home folder:
// KEY="value" lines such as JAVA_VERSION="17.0.15" or IMPLEMENTOR="Debian".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tala::os {

// The value of the first line that sets the key, without its quotes; nothing
// when no line does.
std::optional<std::string> ReleaseValue(std::string_view releaseText, std::string_view key);

} // namespace tala::os
