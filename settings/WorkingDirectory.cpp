#include "settings/WorkingDirectory.h"

#include "os/Files.h"
#include "os/Module.h"

namespace tala {

std::optional<std::u16string> WorkingDirectoryFor(std::u16string_view executablePath,
                                                  os::PathStyle style)
{
    const std::size_t separator = executablePath.rfind(os::PathSeparator(style));
    if (separator == std::u16string_view::npos || separator < 1) return std::nullopt;
    return std::u16string(executablePath.substr(0, separator));
}

void ApplyWorkingDirectory()
{
    std::u16string modulePath;
    if (!os::GetModulePath(modulePath)) return;
    if (const auto folder = WorkingDirectoryFor(modulePath)) os::ChangeCurrentDirectory(*folder);
}

} // namespace tala
