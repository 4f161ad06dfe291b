#include "os/EnvironmentExpansion.h"

#include "os/Environment.h"

namespace tala::os {

std::optional<std::u16string> ExpandEnvironmentReferences(const std::u16string& text)
{
    return ExpandPercentReferences(text, ReadEnvironmentVariable);
}

} // namespace tala::os
