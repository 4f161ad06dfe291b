// Where the launcher's trace lines go: a file it appends to, or standard
// error. Each line is written with one call, so lines of several threads and
// processes sharing the file never interleave.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tala::os {

class TraceSink {
public:
    // "-" is standard error (on Windows only when the process has one: a
    // console or a redirection it was started with); anything else a file,
    // created when missing. Nothing when it cannot be opened, or (POSIX) when
    // the file is a link or belongs to another user.
    static std::unique_ptr<TraceSink> Open(const std::u16string& target);

    virtual ~TraceSink() = default;
    // Failures are ignored: the trace never changes what the launcher does.
    virtual void Write(std::string_view line) = 0;
};

} // namespace tala::os
