#include "os/TraceSink.h"

#include "os/Utf8.h"
#include "os/posix/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tala::os {
namespace {

class DescriptorSink final : public TraceSink {
public:
    // Owns the descriptor unless it is standard error.
    explicit DescriptorSink(int fd) : fd_(fd), owned_(fd != STDERR_FILENO ? fd : -1) {}

    void Write(std::string_view line) override
    {
        // O_APPEND makes each write land whole at the end, whoever else appends.
        [[maybe_unused]] const ssize_t written = ::write(fd_, line.data(), line.size());
    }

private:
    int fd_;
    FileDescriptor owned_;
};

// Another user could have planted the file, or a link to a file of ours, to
// read or spoil what we write: only our own file is used.
bool IsOwnFile(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
}

} // namespace

std::unique_ptr<TraceSink> TraceSink::Open(const std::u16string& target)
{
    if (target == u"-") return std::make_unique<DescriptorSink>(STDERR_FILENO);
    const int fd = ::open(ToUtf8(target).c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0) return nullptr;
    auto sink = std::make_unique<DescriptorSink>(fd);
    if (!IsOwnFile(fd)) return nullptr;
    return sink;
}

} // namespace tala::os
