// Ids of the launcher's message texts in its string table. Every failure the
// user is told about is shown with one of these texts.
#pragma once

namespace tala {

enum class MessageId : int {
#define TALA_STRING(name, id, text) name = id,
#include "resources/Strings.inc"
#undef TALA_STRING
};

} // namespace tala
