#include "os/FileSearch.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

namespace tala::os {

std::vector<std::u16string> FindMatchingNames(const std::u16string& pattern)
{
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(ValidOrNull(::FindFirstFileW(Wide(pattern), &data)));
    if (search == nullptr) return names;
    do {
        names.push_back(FromWide(data.cFileName));
    } while (::FindNextFileW(search.get(), &data));
    return names;
}

} // namespace tala::os
