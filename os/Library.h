// Loading a library by its full path, for the rest of the process's life,
// and looking up the functions it exports.
#pragma once

#include "os/LastError.h"

#include <cstdint>
#include <string>
#include <type_traits>

namespace tala::os {

using LibraryHandle = void*;

// Nothing when it cannot be loaded; LastErrorCode then tells why.
LibraryHandle LoadLibraryFile(const std::u16string& path);

// Nothing when the library does not export the name; LastErrorCode then tells why.
void* FindLibrarySymbol(LibraryHandle library, const char* name);

// A library's exported functions, each looked up as its own type: the one
// cast lives here, not at every call. The first name the library lacks is
// kept with the system's reason, so the caller can tell which library
// lacked what.
class SymbolLookup {
public:
    // No library finds nothing.
    explicit SymbolLookup(LibraryHandle library) : library_(library) {}

    // Sets function to the exported name, null when the library lacks it;
    // false then.
    template <typename Function>
        requires std::is_function_v<std::remove_pointer_t<Function>>
    bool Find(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(FindSymbol(name));
        return function != nullptr;
    }

    // The first name not found; null while every one was.
    const char* Missing() const { return missing_; }

    // LastErrorCode as the first missing name left it.
    std::int32_t MissingError() const { return missingError_; }

private:
    void* FindSymbol(const char* name)
    {
        void* symbol = library_ != nullptr ? FindLibrarySymbol(library_, name) : nullptr;
        if (symbol == nullptr && missing_ == nullptr) {
            missing_ = name;
            missingError_ = LastErrorCode();
        }
        return symbol;
    }

    LibraryHandle library_;
    const char* missing_ = nullptr;
    std::int32_t missingError_ = 0;
};

} // namespace tala::os
