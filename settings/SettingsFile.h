// A settings store that is nothing but an INI file on disk. Every operation
// goes to the file, so instances on one path see each other's writes at once.
#pragma once

#include "settings/SettingsSource.h"

namespace tala {

class SettingsFile : public SettingsSource {
public:
    explicit SettingsFile(std::u16string path) : path_(std::move(path)) {}

    const std::u16string& Path() const { return path_; }

    std::uint32_t ReadHeader(std::array<std::uint8_t, 4>& header) override;
    // Empty when the file, section or key is missing; never fails.
    void GetString(std::u16string_view section, std::u16string_view key,
                   std::u16string& value) override;
    void GetSectionNames(StringList& names) override;
    // Creates file, section and key as needed; failures are not reported.
    void SetString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override;
    void Delete() override;

    // The value as a return, for readers that take it at once.
    std::u16string Get(std::u16string_view section, std::u16string_view key);

private:
    std::u16string path_;
};

} // namespace tala
