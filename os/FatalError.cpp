#include "os/FatalError.h"

#include <exception>
#include <new>

namespace tala::os {
namespace {

constexpr char kOutOfMemory[] = "The launcher ran out of memory and has to stop.";
constexpr char kUnexpectedError[] = "The launcher has to stop after an unexpected error";

// Appends text to the buffer as far as it fits, keeping the final zero.
template <std::size_t size>
void Append(char (&buffer)[size], std::size_t& length, const char* text)
{
    while (*text != '\0' && length + 1 < size) buffer[length++] = *text++;
    buffer[length] = '\0';
}

[[noreturn]] void OnOutOfMemory() { EndWithFatalError(kOutOfMemory); }

// Names the error that ended up here when it is an exception that says
// what it is. Built without exceptions, there is none to name.
[[noreturn]] void OnTerminate()
{
    char text[512];
    std::size_t length = 0;
    Append(text, length, kUnexpectedError);
#if __cpp_exceptions
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& error) {
            Append(text, length, ": ");
            Append(text, length, error.what());
        } catch (...) {
        }
    }
#endif
    Append(text, length, ".");
    EndWithFatalError(text);
}

} // namespace

void InstallFatalErrorHandlers()
{
    std::set_new_handler(OnOutOfMemory);
    std::set_terminate(OnTerminate);
}

} // namespace tala::os
