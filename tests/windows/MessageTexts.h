// The launcher's message texts as its sources define them, for tests that
// check what the string table holds and what the user is shown.
#pragma once

#include <string_view>

namespace tala::test {

struct MessageEntry {
    std::string_view name;
    int id;
    std::wstring_view text;
};

inline constexpr MessageEntry kMessageEntries[] = {
#define TALA_STRING(name, id, text) {#name, id, L"" text},
#include "resources/Strings.inc"
#undef TALA_STRING
};

// The text of an id; empty for an id the launcher has no text for.
constexpr std::wstring_view MessageTextOf(int id)
{
    for (const MessageEntry& entry : kMessageEntries) {
        if (entry.id == id) return entry.text;
    }
    return {};
}

} // namespace tala::test
