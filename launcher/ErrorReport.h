// Tells the user about a failure: a modal box (standard error on POSIX) whose
// text comes from the string table, often a format filled with a detail text,
// a path, a class name or a system error code.
#pragma once

#include "launcher/MessageFormat.h"
#include "launcher/MessageId.h"
#include "os/WindowHandle.h"

namespace tala {

// The table text of an id; empty when the id has no entry.
std::u16string MessageText(MessageId id);

// The text of a format id filled with its arguments; shows nothing.
std::u16string FormatFromId(MessageId format, std::initializer_list<MessageArgument> arguments);

// A detail text from the table, as an argument of a format.
MessageArgument DetailText(MessageId id);

void ShowErrorBox(os::WindowHandle owner, const std::u16string& text);
void ShowErrorBox(os::WindowHandle owner, MessageId text);

void ReportError(os::WindowHandle owner, MessageId format,
                 std::initializer_list<MessageArgument> arguments);

} // namespace tala
