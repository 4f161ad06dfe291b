#include "launcher/Trace.h"

#include "os/Clock.h"
#include "os/DecimalText.h"
#include "os/Environment.h"
#include "os/ThreadMessages.h"
#include "os/TraceSink.h"
#include "os/Utf8.h"

#include <memory>

namespace tala::trace {
namespace {

struct TraceState {
    std::unique_ptr<os::TraceSink> sink; // none: the trace is off
    std::uint64_t start = os::MonotonicMilliseconds();
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

// Set once by Open, on the main thread before any other thread starts, and
// never destroyed: a thread that traces while the process ends (the exit
// hook, a thread the runtime still runs) must not meet a closed sink. The
// system closes the file with the process.
const TraceState* theTrace = nullptr;

void AppendNumber(std::string& line, std::int64_t number)
{
    line += os::ToUtf8(os::SignedDecimalText(number));
}

// "   12 ms [4242] ": the milliseconds right-aligned, then the process.
void AppendStamp(std::string& line, const TraceState& state)
{
    const auto elapsed = static_cast<std::int64_t>(os::MonotonicMilliseconds() - state.start);
    std::string milliseconds;
    AppendNumber(milliseconds, elapsed);
    if (milliseconds.size() < 6) line.append(6 - milliseconds.size(), ' ');
    line.append(milliseconds).append(" ms [");
    AppendNumber(line, state.processId);
    line.append("] ");
}

} // namespace

void Open()
{
    if (theTrace == nullptr) theTrace = new TraceState(OpenFromEnvironment());
}

bool Enabled() { return theTrace != nullptr && theTrace->sink != nullptr; }

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
    if (!Enabled()) return;
    const TraceState& state = *theTrace;
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
