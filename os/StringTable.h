// The launcher's string table: the message texts by id.
#pragma once

#include <string>

namespace tala::os {

// Empty when the id has no entry.
std::u16string LoadMessageText(int id);

} // namespace tala::os
