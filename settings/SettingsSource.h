// The interface through which every setting is read: the settings file on
// disk, the settings text carried in the executable, or the two layered.
#pragma once

#include "settings/StringRules.h"

#include <array>
#include <cstdint>
#include <string>

namespace tala {

class SettingsSource {
public:
    virtual ~SettingsSource() = default;

    // The first 4 bytes of the store; 0 on success, else an error code.
    virtual std::uint32_t ReadHeader(std::array<std::uint8_t, 4>& header) = 0;
    virtual void GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string& value) = 0;
    virtual void GetSectionNames(StringList& names) = 0;
    virtual void SetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) = 0;
    virtual void Delete() = 0;
};

// The trace line of one key read: its value and where it came from.
void TraceKeyRead(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                  std::u16string_view source);

} // namespace tala
