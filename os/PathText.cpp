#include "os/PathText.h"

namespace tala::os {

std::u16string_view FolderOf(std::u16string_view path, PathStyle style)
{
    const std::size_t cut = path.rfind(PathSeparator(style));
    return cut == std::u16string_view::npos ? std::u16string_view() : path.substr(0, cut);
}

std::u16string_view FolderWithSeparatorOf(std::u16string_view path, PathStyle style)
{
    // npos + 1 is 0: no folder at all.
    return path.substr(0, path.rfind(PathSeparator(style)) + 1);
}

std::u16string_view FileNameOf(std::u16string_view path, PathStyle style)
{
    return path.substr(FolderWithSeparatorOf(path, style).size());
}

bool EndsWithSeparator(std::u16string_view path, PathStyle style)
{
    return !path.empty() && path.back() == PathSeparator(style);
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name, PathStyle style)
{
    std::u16string path(folder);
    if (!EndsWithSeparator(folder, style)) path += PathSeparator(style);
    path += name;
    return path;
}

std::u16string WithTrailingSeparator(std::u16string_view folder, PathStyle style)
{
    return JoinPath(folder, {}, style);
}

bool IsAbsolutePath(std::u16string_view path, PathStyle style)
{
    if (style == PathStyle::Posix) return path.starts_with(u'/');
    return path.starts_with(u"\\\\") || (path.size() >= 2 && path[1] == u':');
}

} // namespace tala::os
