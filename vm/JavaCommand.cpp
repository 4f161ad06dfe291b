#include "vm/JavaCommand.h"

#include "launcher/Launcher.h"
#include "vm/VmOptions.h"

#include <algorithm>

namespace tala {
namespace {

constexpr std::string_view kProperty = "-Dsun.java.command";

} // namespace

std::u16string JavaCommandOption(std::u16string_view mainClass, const StringList& programArguments)
{
    std::u16string option = u"-Dsun.java.command=" + ReplaceAll(std::u16string(mainClass), u'/', u'.');
    for (const std::u16string& argument : programArguments) option.append(1, u' ').append(argument);
    return option;
}

bool SetsJavaCommand(const std::vector<std::string>& options)
{
    return std::any_of(options.begin(), options.end(), [](const std::string& option) {
        return option.starts_with(kProperty) &&
               (option.size() == kProperty.size() || option[kProperty.size()] == '=');
    });
}

void AddJavaCommandOption(Launcher& launcher)
{
    if (SetsJavaCommand(launcher.vmOptions.Options())) return;
    launcher.vmOptions.Append(ToAnsi(JavaCommandOption(launcher.settings.mainClass, launcher.programArguments)));
}

} // namespace tala
