#include "os/EnvironmentExpansion.h"

#include "os/Environment.h"
#include "os/Utf8.h"

#include <string_view>
#include <unistd.h>

namespace tala::os {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// Windows knows a variable by its name in any letter case, and settings
// written for it say %Path% or %Home%. Here the variable of exactly that name
// wins; without one, the first in the environment whose name differs only in
// ASCII letter case stands in.
std::optional<std::u16string> ReadVariableIgnoringCase(const std::u16string& name)
{
    if (auto exact = ReadEnvironmentVariable(name)) return exact;
    const std::string wanted = ToUtf8(name);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        const std::size_t equals = variable.find('=');
        if (equals != std::string_view::npos && EqualsIgnoringAsciiCase(variable.substr(0, equals), wanted)) {
            return FromUtf8(variable.substr(equals + 1));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::u16string> ExpandEnvironmentReferences(const std::u16string& text)
{
    return ExpandPercentReferences(text, ReadVariableIgnoringCase);
}

} // namespace tala::os
