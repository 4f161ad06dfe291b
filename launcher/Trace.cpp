#include "launcher/Trace.h"

#include "os/Environment.h"
#include "os/ThreadMessages.h"
#include "os/TraceSink.h"
#include "os/Utf8.h"

#include <charconv>
#include <chrono>
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

// Never destroyed: a thread that traces while the process ends (the exit
// hook, a thread the runtime still runs) must not meet a closed sink. The
// system closes the file with the process.
const TraceState& State()
{
    static const TraceState& state = *new TraceState(OpenFromEnvironment());
    return state;
}

void AppendNumber(std::string& line, std::int64_t number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    line.append(digits, end);
}

// "   12 ms [4242] ": the milliseconds right-aligned, then the process.
void AppendStamp(std::string& line, const TraceState& state)
{
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.start).count();
    std::string milliseconds;
    AppendNumber(milliseconds, elapsed);
    if (milliseconds.size() < 6) line.append(6 - milliseconds.size(), ' ');
    line.append(milliseconds).append(" ms [");
    AppendNumber(line, state.processId);
    line.append("] ");
}

} // namespace

bool Enabled() { return State().sink != nullptr; }

void Part::AppendTo(std::string& line) const
{
    if (isNumber_) {
        AppendNumber(line, number_);
    } else if (isWide_) {
        line += os::ToUtf8(wide_);
    } else {
        line += narrow_;
    }
}

void WriteNote(std::string_view topic, std::initializer_list<Part> parts)
{
    const TraceState& state = State();
    if (!state.sink) return;
    std::string line;
    AppendStamp(line, state);
    line.append(topic).append(1, ':');
    for (const Part& part : parts) {
        line += ' ';
        const std::size_t before = line.size();
        part.AppendTo(line);
        if (line.size() == before) line.pop_back();
    }
    line += '\n';
    state.sink->Write(line);
}

} // namespace tala::trace
