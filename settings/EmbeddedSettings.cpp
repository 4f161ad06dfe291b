#include "settings/EmbeddedSettings.h"

namespace tala {
namespace {

// The header test skips characters below code 33 (controls and the space).
std::u16string_view TrimControls(std::u16string_view line)
{
    while (!line.empty() && line.front() < 33) line.remove_prefix(1);
    while (!line.empty() && line.back() < 33) line.remove_suffix(1);
    return line;
}

bool IsSectionHeader(std::u16string_view line)
{
    const std::u16string_view trimmed = TrimControls(line);
    return !trimmed.empty() && trimmed.front() == u'[' && trimmed.back() == u']';
}

} // namespace

void EmbeddedSettings::Parse(std::u16string_view text)
{
    sections_.clear();
    StringList lines;
    SplitString(text, u"\r\n", lines);
    if (!lines.empty() && !lines.front().empty() && lines.front().front() == u'\uFEFF') {
        lines.front().erase(0, 1);
    }

    Section* current = nullptr;
    for (const std::u16string& line : lines) {
        if (line.empty()) continue;
        if (IsSectionHeader(line)) {
            // Not trimmed: the name is what stands between the brackets.
            const std::size_t open = line.find(u'[');
            const std::size_t close = line.rfind(u']');
            sections_.push_back({line.substr(open + 1, close - open - 1), {}});
            current = &sections_.back();
            continue;
        }
        const std::size_t equals = line.find(u'=');
        if (current == nullptr || equals == std::u16string::npos) continue;
        current->entries.emplace_back(TrimWhiteSpace(std::u16string_view(line).substr(0, equals)),
                                      TrimWhiteSpace(std::u16string_view(line).substr(equals + 1)));
    }
}

std::uint32_t EmbeddedSettings::ReadHeader(std::array<std::uint8_t, 4>& header)
{
    header.fill(0);
    return 1;
}

void EmbeddedSettings::GetString(std::u16string_view section, std::u16string_view key,
                                 std::u16string& value)
{
    const Section* found = FindSection(section);
    if (found == nullptr) return;
    for (const auto& [entryKey, entryValue] : found->entries) {
        if (entryKey == key) {
            value = entryValue;
            return;
        }
    }
}

void EmbeddedSettings::GetSectionNames(StringList& names)
{
    names.clear();
    for (const Section& section : sections_) names.push_back(section.name);
}

void EmbeddedSettings::SetString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value)
{
    for (Section& candidate : sections_) {
        if (candidate.name == section) {
            candidate.entries.emplace_back(key, value);
            return;
        }
    }
    sections_.push_back({std::u16string(section), {{std::u16string(key), std::u16string(value)}}});
}

const EmbeddedSettings::Section* EmbeddedSettings::FindSection(std::u16string_view name) const
{
    for (const Section& section : sections_) {
        if (section.name == name) return &section;
    }
    return nullptr;
}

} // namespace tala
