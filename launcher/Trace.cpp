#include "launcher/Trace.h"

#include "os/Environment.h"
#include "os/ThreadMessages.h"
#include "os/TraceSink.h"
#include "os/Utf8.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace tala::trace {
namespace {

using Clock = std::chrono::steady_clock;

struct TraceState {
    std::unique_ptr<os::TraceSink> sink; // none: the trace is off
    Clock::time_point start = Clock::now();
    std::uint32_t processId = 0;
};

TraceState OpenFromEnvironment()
{
    TraceState state;
    const auto target = os::ReadEnvironmentVariable(u"TALA_TRACE");
    if (!target || target->empty()) return state;
    state.sink = os::TraceSink::Open(*target);
    state.processId = os::CurrentProcessId();
    return state;
}

const TraceState& State()
{
    static const TraceState state = OpenFromEnvironment();
    return state;
}

} // namespace

bool Enabled() { return State().sink != nullptr; }

void WriteLine(std::string_view text)
{
    const TraceState& state = State();
    if (!state.sink) return;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.start).count();
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%6lld ms [%lu] ", static_cast<long long>(elapsed),
                  static_cast<unsigned long>(state.processId));
    std::string line(stamp);
    line += text;
    line += '\n';
    state.sink->Write(line);
}

void AppendPart(std::string& line, std::u16string_view text) { line += os::ToUtf8(text); }

void AppendPart(std::string& line, std::int64_t number) { line += std::to_string(number); }

} // namespace tala::trace
