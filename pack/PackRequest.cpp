#include "pack/PackRequest.h"

#include "pack/ManifestLevel.h"

#include <algorithm>
#include <iterator>

namespace tala::pack {
namespace {

bool TakeOnce(std::optional<std::u16string>& slot, std::u16string_view option, const std::u16string& value,
              std::u16string& error)
{
    if (slot) {
        error = std::u16string(option) + u" is given twice";
        return false;
    }
    slot = value;
    return true;
}

bool AddVersionString(const std::u16string& value, VersionStrings& strings, std::u16string& error)
{
    const std::size_t equals = value.find(u'=');
    const std::u16string name = value.substr(0, equals);
    if (equals == std::u16string::npos || !IsVersionStringName(name)) {
        error = u"--version wants NAME=VALUE with NAME one of FileVersion, ProductVersion, CompanyName, "
                u"FileDescription, ProductName, LegalCopyright, OriginalFilename, InternalName, Comments; "
                u"not \"" +
                value + u"\"";
        return false;
    }
    for (const auto& [known, unused] : strings) {
        if (known == name) {
            error = u"--version " + name + u" is given twice";
            return false;
        }
    }
    strings.emplace_back(name, value.substr(equals + 1));
    return true;
}

} // namespace

bool ParsePackArguments(const std::vector<std::u16string>& words, PackRequest& request, bool& help,
                        std::u16string& error)
{
    std::optional<std::u16string> launcher;
    std::optional<std::u16string> output;
    // The options given at most once, and where each value goes.
    const std::pair<std::u16string_view, std::optional<std::u16string>*> once[] = {
        {u"--launcher", &launcher},
        {u"--output", &output},
        {u"--settings", &request.settings},
        {u"--upgrade-code", &request.upgradeCode},
        {u"--icon", &request.icon},
        {u"--jar", &request.jar},
        {u"--execution-level", &request.executionLevel}};
    help = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == u"--help" || words[i] == u"-h") {
            help = true;
            return true;
        }
        // "--option VALUE" or "--option=VALUE".
        const std::size_t equals = words[i].find(u'=');
        const std::u16string option = words[i].substr(0, equals);
        const auto slot = std::find_if(std::begin(once), std::end(once),
                                       [&](const auto& entry) { return entry.first == option; });
        if (slot == std::end(once) && option != u"--version") {
            error = (option.rfind(u"--", 0) == 0 ? u"unknown option \"" : u"unexpected word \"") + words[i] +
                    u"\"";
            return false;
        }
        if (equals == std::u16string::npos && i + 1 == words.size()) {
            error = option + u" wants a value";
            return false;
        }
        const std::u16string value =
            equals != std::u16string::npos ? words[i].substr(equals + 1) : words[++i];
        const bool taken = slot != std::end(once) ? TakeOnce(*slot->second, option, value, error)
                                                  : AddVersionString(value, request.versionStrings, error);
        if (!taken) return false;
    }
    if (!launcher || !output || launcher->empty() || output->empty()) {
        error = u"--launcher and --output are required";
        return false;
    }
    if (request.upgradeCode && !request.settings) {
        error = u"--upgrade-code enciphers the settings of --settings, which is missing";
        return false;
    }
    if (request.executionLevel && !IsExecutionLevel(*request.executionLevel)) {
        error = u"--execution-level wants asInvoker, highestAvailable or requireAdministrator; not \"" +
                *request.executionLevel + u"\"";
        return false;
    }
    request.launcher = *launcher;
    request.output = *output;
    return true;
}

std::u16string PackUsage()
{
    return u"usage: tala-pack --launcher IN --output OUT [--settings FILE.ini] [--upgrade-code CODE]\n"
           u"                 [--icon FILE.ico] [--version NAME=VALUE]...\n"
           u"                 [--execution-level asInvoker|highestAvailable|requireAdministrator]\n"
           u"                 [--jar FILE.jar]\n"
           u"Brands a Tala launcher (tala.exe, or the Linux tala) for a product and writes it to OUT.\n"
           u"  --settings FILE.ini   carry these settings, enciphered with the \"Upgrade Code\"\n"
           u"  --upgrade-code CODE   the code to encipher with (default: FILE's own \"Upgrade Code\")\n"
           u"  --icon FILE.ico       every image of the icon file becomes the executable's icon (Windows)\n"
           u"  --version NAME=VALUE  version information: FileVersion, ProductVersion, CompanyName,\n"
           u"                        FileDescription, ProductName, LegalCopyright, OriginalFilename,\n"
           u"                        InternalName, Comments (Windows)\n"
           u"  --execution-level L   the rights the manifest asks for (Windows)\n"
           u"  --jar FILE.jar        append the application's jar, for \"Embedded Jar=Yes\"\n"
           u"Parts not given stay as IN carries them.";
}

} // namespace tala::pack
