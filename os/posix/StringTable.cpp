#include "os/StringTable.h"

#include <iterator>

namespace tala::os {
namespace {

struct Entry {
    int id;
    const char16_t* text;
};

constexpr Entry kStrings[] = {
#define TALA_STRING(name, id, text) {id, u"" text},
#include "resources/Strings.inc"
#undef TALA_STRING
};

} // namespace

std::u16string LoadMessageText(int id)
{
    for (const Entry& entry : kStrings) {
        if (entry.id == id) return std::u16string(entry.text);
    }
    return {};
}

} // namespace tala::os
