#include "pack/ManifestLevel.h"

namespace tala::pack {

bool IsExecutionLevel(std::u16string_view level)
{
    return level == u"asInvoker" || level == u"highestAvailable" || level == u"requireAdministrator";
}

bool SetExecutionLevel(std::string& manifest, std::string_view level)
{
    const std::size_t element = manifest.find("<requestedExecutionLevel");
    if (element == std::string::npos) return false;
    const std::size_t end = manifest.find('>', element);
    const std::size_t attribute = manifest.find(" level=", element);
    if (end == std::string::npos || attribute == std::string::npos || attribute > end) return false;
    const std::size_t open = attribute + 7;
    const char quote = manifest[open];
    if (quote != '"' && quote != '\'') return false;
    const std::size_t close = manifest.find(quote, open + 1);
    if (close == std::string::npos || close > end) return false;
    manifest.replace(open + 1, close - open - 1, level);
    return true;
}

} // namespace tala::pack
