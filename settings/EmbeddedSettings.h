// An in-memory settings store filled from a settings text. Unlike the file,
// names match exactly (case-sensitive), and duplicates are kept: a lookup
// takes the first section record, and in it the first entry, of that name.
#pragma once

#include "settings/SettingsSource.h"

#include <string_view>
#include <utility>
#include <vector>

namespace tala {

class EmbeddedSettings : public SettingsSource {
public:
    // Replaces the whole content with the sections and entries of text:
    // lines end at "\r\n"; a leading U+FEFF is dropped; "[name]" (blanks and
    // control characters around it allowed) opens a section; "key = value"
    // lines are trimmed and stored; anything else is ignored.
    void Parse(std::u16string_view text);

    std::uint32_t ReadHeader(std::array<std::uint8_t, 4>& header) override;
    // Leaves value as it was when the section or key is missing.
    void GetString(std::u16string_view section, std::u16string_view key,
                   std::u16string& value) override;
    void GetSectionNames(StringList& names) override;
    // Always appends a new entry: an older entry of that key keeps winning.
    void SetString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override;
    void Delete() override {}

private:
    struct Section {
        std::u16string name;
        std::vector<std::pair<std::u16string, std::u16string>> entries;
    };

    const Section* FindSection(std::u16string_view name) const;

    std::vector<Section> sections_;
};

} // namespace tala
