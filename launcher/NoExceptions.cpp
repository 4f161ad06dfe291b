// The Windows launcher is built without exceptions, and links the C++
// library statically. What that library would throw -- memory that runs out,
// a length past its limit -- ends the process here with a word instead, so
// none of the library's exception machinery (unwinder, exception classes,
// name demangler) is linked into tala.exe.
//
// These are the library's own replacement points: a program may define the
// global allocation functions, and the library's throw helpers are there for
// programs built without exceptions to provide.
#include "os/FatalError.h"

#include <cstdlib>
#include <new>

namespace {

constexpr char kOutOfMemory[] = "The launcher ran out of memory and has to stop.";
constexpr char kLimit[] = "The launcher has to stop: a value is larger than it can hold.";

void* Allocate(std::size_t size) noexcept
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) tala::os::EndWithFatalError(kOutOfMemory);
    return memory;
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace std {

void __throw_bad_alloc() { tala::os::EndWithFatalError(kOutOfMemory); }
void __throw_bad_array_new_length() { tala::os::EndWithFatalError(kOutOfMemory); }
void __throw_length_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_out_of_range(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_out_of_range_fmt(const char*, ...) { tala::os::EndWithFatalError(kLimit); }
void __throw_logic_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_invalid_argument(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_domain_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_runtime_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_range_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_overflow_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_underflow_error(const char*) { tala::os::EndWithFatalError(kLimit); }
void __throw_bad_exception() { tala::os::EndWithFatalError(kLimit); }
void __throw_bad_cast() { tala::os::EndWithFatalError(kLimit); }
void __throw_bad_typeid() { tala::os::EndWithFatalError(kLimit); }
void __throw_bad_function_call() { tala::os::EndWithFatalError(kLimit); }
void __throw_system_error(int) { tala::os::EndWithFatalError(kLimit); }
void __throw_future_error(int) { tala::os::EndWithFatalError(kLimit); }

} // namespace std
