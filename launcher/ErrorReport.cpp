#include "launcher/ErrorReport.h"

#include "os/ErrorBox.h"
#include "os/StringTable.h"

namespace tala {

std::u16string MessageText(MessageId id) { return os::LoadMessageText(static_cast<int>(id)); }

std::u16string FormatFromId(MessageId format, std::initializer_list<MessageArgument> arguments)
{
    return FormatMessageText(MessageText(format), arguments);
}

MessageArgument DetailText(MessageId id) { return MessageText(id); }

void ShowErrorBox(os::WindowHandle owner, const std::u16string& text)
{
    os::ShowErrorMessage(owner, text);
}

void ShowErrorBox(os::WindowHandle owner, MessageId text)
{
    os::ShowErrorMessage(owner, MessageText(text));
}

void ReportError(os::WindowHandle owner, MessageId format,
                 std::initializer_list<MessageArgument> arguments)
{
    ShowErrorBox(owner, FormatFromId(format, arguments));
}

} // namespace tala
