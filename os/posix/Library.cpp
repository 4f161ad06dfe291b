#include "os/Library.h"

#include "os/Utf8.h"

#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

namespace tala::os {

LibraryHandle LoadLibraryFile(const std::u16string& path)
{
    // RTLD_GLOBAL: the runtime's own libraries, loaded later by name, find
    // the VM's symbols.
    const std::string file = ToUtf8(path);
    errno = 0;
    LibraryHandle library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL);
    // dlopen tells its reason only as text; give the message a number that
    // says at least whether the file is there.
    if (library == nullptr && errno == 0) errno = ::access(file.c_str(), F_OK) == 0 ? ENOEXEC : ENOENT;
    return library;
}

void* FindLibrarySymbol(LibraryHandle library, const char* name)
{
    void* symbol = ::dlsym(library, name);
    if (symbol == nullptr) errno = ENOENT;
    return symbol;
}

} // namespace tala::os
