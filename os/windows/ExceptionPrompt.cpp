#include "os/ExceptionPrompt.h"

namespace tala::os {

// Placeholder until the dialog resource lands: a dialog that cannot be shown counts as Stop.
ExceptionChoice AskIgnoreOrStop(const std::u16string&) { return ExceptionChoice::Stop; }

} // namespace tala::os
