// The execution level a Windows executable's manifest asks for: whether it
// runs as its invoker, with the highest rights the user has, or only as an
// administrator.
#pragma once

#include <string>
#include <string_view>

namespace tala::pack {

bool IsExecutionLevel(std::u16string_view level);

// The manifest with its requested execution level replaced and everything
// else (DPI awareness among it) as it was. False when it asks for none.
bool SetExecutionLevel(std::string& manifest, std::string_view level);

} // namespace tala::pack
