#include "os/FileSearch.h"

#include "os/Utf8.h"
#include "os/posix/UniqueDirectory.h"

#include <sys/stat.h>

namespace tala::os {
namespace {

// "*" and "?" as Windows reads them, over UTF-16 code units, without its
// older quirks (short 8.3 names, "*." for names without a dot); "[" is an
// ordinary character. Names match case-sensitively, as POSIX file names do.
bool MatchesWildcards(std::u16string_view name, std::u16string_view pattern)
{
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = std::u16string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starAt != std::u16string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

} // namespace

std::vector<std::u16string> FindMatchingNames(const std::u16string& pattern)
{
    std::vector<std::u16string> names;
    const std::size_t slash = pattern.rfind(u'/');
    const std::u16string last = slash == std::u16string::npos ? pattern : pattern.substr(slash + 1);

    if (last.find_first_of(u"*?") == std::u16string::npos) {
        struct stat entry {};
        if (::lstat(ToUtf8(pattern).c_str(), &entry) == 0) names.push_back(last);
        return names;
    }

    std::u16string folder = u".";
    if (slash != std::u16string::npos) folder = slash == 0 ? u"/" : pattern.substr(0, slash);
    const UniqueDirectory directory(::opendir(ToUtf8(folder).c_str()));
    if (!directory) return names;
    while (const dirent* entry = ::readdir(directory.get())) {
        std::u16string name = FromUtf8(entry->d_name);
        if (MatchesWildcards(name, last)) names.push_back(std::move(name));
    }
    return names;
}

} // namespace tala::os
