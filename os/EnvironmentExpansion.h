// %NAME% references in setting values, replaced by the values of environment
// variables. Windows expands them itself; other systems get the same rules
// from ExpandPercentReferences, so one settings file means the same on both.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tala::os {

// The value of a variable, nothing when it is not set.
using VariableLookup = std::function<std::optional<std::u16string>(const std::u16string& name)>;

// The text with the references of this process's environment replaced;
// nothing when the system could not expand it.
std::optional<std::u16string> ExpandEnvironmentReferences(const std::u16string& text);

// A name between two "%" is replaced by its value. A reference to an unset
// variable, or with an empty name ("%%"), stays as written and the scan goes
// on at its closing "%", which may open the next reference; a "%" without a
// partner stays as it is.
std::u16string ExpandPercentReferences(std::u16string_view text, const VariableLookup& lookup);

} // namespace tala::os
