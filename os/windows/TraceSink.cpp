#include "os/TraceSink.h"

#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

namespace tala::os {
namespace {

class HandleSink final : public TraceSink {
public:
    // Owns the handle unless it is the process's standard error.
    HandleSink(HANDLE handle, bool owned) : handle_(handle), owned_(owned ? handle : nullptr) {}

    void Write(std::string_view line) override
    {
        DWORD written = 0;
        ::WriteFile(handle_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

private:
    HANDLE handle_;
    UniqueHandle owned_;
};

} // namespace

std::unique_ptr<TraceSink> TraceSink::Open(const std::u16string& target)
{
    if (target == u"-") {
        // A GUI program has standard error only when it was given one; no
        // console is made for the trace.
        const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<HandleSink>(error, false);
    }
    // Append-only access: every write goes to the end, whoever else appends.
    const HANDLE file = ::CreateFileW(Wide(target), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleSink>(file, true);
}

} // namespace tala::os
