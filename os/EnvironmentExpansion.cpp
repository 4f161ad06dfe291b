#include "os/EnvironmentExpansion.h"

namespace tala::os {

std::u16string ExpandPercentReferences(std::u16string_view text, const VariableLookup& lookup)
{
    std::u16string expanded;
    expanded.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find(u'%', position);
        if (open == std::u16string_view::npos) break;
        expanded.append(text.substr(position, open - position));
        const std::size_t close = text.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            position = open;
            break;
        }
        const std::u16string name(text.substr(open + 1, close - open - 1));
        const std::optional<std::u16string> value =
            name.empty() ? std::nullopt : lookup(name);
        if (value) {
            expanded += *value;
            position = close + 1;
        } else {
            // Windows keeps "%NAME" and looks at the closing "%" again, as
            // the opening of the next reference.
            expanded.append(text.substr(open, close - open));
            position = close;
        }
    }
    expanded.append(text.substr(position));
    return expanded;
}

} // namespace tala::os
