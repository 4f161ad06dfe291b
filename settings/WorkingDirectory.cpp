#include "settings/WorkingDirectory.h"

#include "os/Files.h"
#include "os/Module.h"
#include "os/PathText.h"

namespace tala {

std::optional<std::u16string> WorkingDirectoryFor(std::u16string_view executablePath,
                                                  os::PathStyle style)
{
    const std::u16string_view folder = os::FolderOf(executablePath, style);
    if (folder.empty()) return std::nullopt;
    return std::u16string(folder);
}

void ApplyWorkingDirectory()
{
    std::u16string modulePath;
    if (!os::GetModulePath(modulePath)) return;
    if (const auto folder = WorkingDirectoryFor(modulePath)) os::ChangeCurrentDirectory(*folder);
}

} // namespace tala
