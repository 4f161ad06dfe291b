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
// diagnostic that must cost nothing when off; it is opened once, before any
// other thread exists, and never changes after, so no stage can see it half
// made.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace tala::trace {

// Reads TALA_TRACE and opens what it names: once, first thing on the main
// thread, before any other thread starts. Until then the trace is off.
void Open();

// True when TALA_TRACE named a sink that could be opened.
bool Enabled();

// One piece of a line: narrow text (UTF-8, or the bytes a VM option is
// given as), UTF-16 text, or a number.
class Part {
public:
    Part(std::string_view text) : narrow_(text) {}
    Part(const char* text) : narrow_(text) {}
    Part(std::u16string_view text) : wide_(text), isWide_(true) {}
    Part(const char16_t* text) : wide_(text), isWide_(true) {}
    Part(const std::u16string& text) : wide_(text), isWide_(true) {}
    Part(const std::string& text) : narrow_(text) {}
    template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
    Part(Number number) : number_(static_cast<std::int64_t>(number)), isNumber_(true)
    {
    }

    void AppendTo(std::string& line) const;

private:
    std::string_view narrow_;
    std::u16string_view wide_;
    std::int64_t number_ = 0;
    bool isWide_ = false;
    bool isNumber_ = false;
};

// Writes "topic: part part ...", the parts joined by single spaces, empty ones
// left out, behind the stamp.
void WriteNote(std::string_view topic, std::initializer_list<Part> parts);

template <typename... Parts>
void Note(std::string_view topic, const Parts&... parts)
{
    if (Enabled()) WriteNote(topic, {Part(parts)...});
}

} // namespace tala::trace
