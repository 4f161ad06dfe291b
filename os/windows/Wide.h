// The launcher's UTF-16 strings seen as the wchar_t strings of the Win32 API;
// both are 16-bit code units on Windows.
#pragma once

#include <string>

namespace tala::os {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is a UTF-16 code unit");

inline const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

} // namespace tala::os
