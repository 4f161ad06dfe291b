#include "vm/OutputFiles.h"

#include "os/DateTimeFormat.h"
#include "os/DecimalText.h"
#include "os/PathText.h"
#include "settings/StringRules.h"

namespace tala {
namespace {

std::u16string WithMilliseconds(std::u16string pattern, int milliseconds)
{
    const std::u16string text = os::SignedDecimalText(milliseconds);
    for (std::size_t at = pattern.find(u'L'); at != std::u16string::npos;
         at = pattern.find(u'L', at + text.size())) {
        pattern.replace(at, 1, text);
    }
    return pattern;
}

// The first component of a path (kept whole), and the rest after it.
struct SplitPath {
    std::u16string first;
    std::u16string rest;
    bool isNetwork = false;
};

SplitPath Split(const std::u16string& path, os::PathStyle style)
{
    const char16_t separator = os::PathSeparator(style);
    std::u16string text = path;
    std::u16string prefix;
    if (style == os::PathStyle::Windows && text.rfind(u"\\\\?\\", 0) == 0) {
        prefix = text.substr(0, 4);
        text.erase(0, 4);
    }
    SplitPath split;
    split.isNetwork = style == os::PathStyle::Windows && prefix.empty() && text.size() >= 3 &&
                      text.rfind(u"\\\\", 0) == 0 && text[2] != u'?';
    const std::size_t searchFrom = split.isNetwork ? 2 : 0;
    const std::size_t cut = text.find(separator, searchFrom);
    split.first = prefix + text.substr(0, cut);
    split.rest = cut == std::u16string::npos ? std::u16string() : text.substr(cut + 1);
    return split;
}

} // namespace

std::u16string ExpandDateTimePattern(const std::u16string& name, const os::LocalTime& time)
{
    const std::size_t first = name.find(u'%');
    const std::size_t last = name.rfind(u'%');
    if (first == std::u16string::npos) return name;
    std::u16string pattern = name.substr(first + 1, last > first ? last - first - 1 : 0);
    pattern = WithMilliseconds(pattern, time.milliseconds);
    const std::u16string formatted =
        os::FormatDatePictures(os::FormatTimePictures(pattern, time), time);
    return name.substr(0, first) + formatted + name.substr(last + 1);
}

bool EnsureParentFolders(const std::u16string& path, FolderSystem& folders, os::PathStyle style)
{
    if (os::IsAbsolutePath(path, style) && folders.Exists(path)) return true;
    const char16_t separator = os::PathSeparator(style);
    const SplitPath split = Split(path, style);
    StringList components;
    SplitString(split.rest, std::u16string(1, separator), components);
    if (components.empty()) return true;
    components.pop_back(); // the file name itself

    std::u16string built = split.first;
    bool passedFirstLevel = false;
    for (const std::u16string& component : components) {
        const std::u16string above = built;
        built.append(1, separator).append(component);
        if (folders.Create(built) != os::FolderCreation::Failed || split.isNetwork) {
            passedFirstLevel = true;
            continue;
        }
        if (passedFirstLevel) folders.RemoveIfEmpty(above);
        return false;
    }
    return true;
}

} // namespace tala
