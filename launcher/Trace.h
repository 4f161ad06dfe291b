// The trace: with TALA_TRACE set, one line per decision of the start (which
// settings, which runtime and why, which options...), each stamped with the
// milliseconds since the launcher began. Unset, every call returns at once
// and nothing is formatted.
//
// The trace is the one process-wide object the launcher keeps. It follows an
// environment variable, which is itself process-wide, and is written from
// every thread the launcher runs (main, Java, hand-off workers) and from
// stages that see no Launcher (settings stores, the class path rules, the
// runtime search). Handing it down would change a dozen signatures for a
// diagnostic that must cost nothing when off; it is opened once, on first
// use, and never changes after, so no stage can see it half made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace tala::trace {

// True when TALA_TRACE names a sink that could be opened.
bool Enabled();

// Writes one line: the stamp, then the text.
void WriteLine(std::string_view text);

inline void AppendPart(std::string& line, std::string_view bytes) { line += bytes; }
void AppendPart(std::string& line, std::u16string_view text);
void AppendPart(std::string& line, std::int64_t number);

template <typename Part>
void AppendAny(std::string& line, const Part& part)
{
    if constexpr (std::is_integral_v<Part>) {
        AppendPart(line, static_cast<std::int64_t>(part));
    } else if constexpr (std::is_convertible_v<const Part&, std::u16string_view>) {
        AppendPart(line, std::u16string_view(part));
    } else {
        AppendPart(line, std::string_view(part));
    }
}

// "topic: part part ...": the parts joined by single spaces, empty ones left out.
template <typename... Parts>
void Note(std::string_view topic, const Parts&... parts)
{
    if (!Enabled()) return;
    std::string line(topic);
    line += ':';
    const auto append = [&line](const auto& part) {
        line += ' ';
        const std::size_t before = line.size();
        AppendAny(line, part);
        if (line.size() == before) line.pop_back();
    };
    (append(parts), ...);
    WriteLine(line);
}

} // namespace tala::trace
