// How the host writes paths. Portable rules that cut or join paths take a
// PathStyle, so both conventions can be exercised by the unit tests on one host.
#pragma once

namespace tala::os {

enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kHostPathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kHostPathStyle = PathStyle::Posix;
#endif

constexpr char16_t PathSeparator(PathStyle style)
{
    return style == PathStyle::Windows ? u'\\' : u'/';
}

} // namespace tala::os
