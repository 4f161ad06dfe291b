#include "vm/RuntimePaths.h"

#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/Environment.h"
#include "os/Module.h"
#include "os/PathList.h"
#include "os/PathText.h"
#include "runtime/VmLibraryProbe.h"
#include "vm/VmOptions.h"

namespace tala {
namespace {

// A settings value that lists folders, with the settings file's ";" turned
// into the platform's list separator, and one behind it.
std::u16string FolderListWithSeparator(std::u16string_view folders, os::PathStyle style)
{
    const char16_t listSeparator = os::PathListSeparator(style);
    std::u16string list = ReplaceAll(std::u16string(folders), u';', listSeparator);
    if (!list.empty() && list.back() != listSeparator) list += listSeparator;
    return list;
}

void SetVariable(const std::u16string& name, const std::u16string& value)
{
    trace::Note("environment", name, u"=", value);
    os::WriteEnvironmentVariable(name, value);
}

std::u16string PathReference(os::PathStyle style)
{
    std::u16string reference(1, u'%');
    reference.append(PathVariableName(style)).append(1, u'%');
    return reference;
}

} // namespace

std::u16string StripPathComponents(std::u16string_view path, int count, os::PathStyle style)
{
    for (int i = 0; i < count && path.find(os::PathSeparator(style)) != std::u16string_view::npos; ++i) {
        path = os::FolderOf(path, style);
    }
    return std::u16string(path);
}

std::u16string RuntimeHomeOf(std::u16string_view vmLibraryPath, os::PathStyle style)
{
    // <home>/<layout>/<kind>/<library>: the layout is known by its last
    // component (amd64 in the old lib/amd64, else lib), so a home that is
    // itself named lib keeps its name.
    const std::u16string layoutFolder = StripPathComponents(vmLibraryPath, 2, style);
    for (const std::u16string_view layout : VmLibraryLayouts(style)) {
        std::u16string tail(1, os::PathSeparator(style));
        tail += layout;
        if (layoutFolder.ends_with(tail)) return layoutFolder.substr(0, layoutFolder.size() - tail.size());
    }
    return StripPathComponents(layoutFolder, 1, style);
}

std::u16string_view PathVariableName(os::PathStyle style)
{
    return style == os::PathStyle::Windows ? u"Path" : u"PATH";
}

std::u16string ComposeLibraryPath(std::u16string_view libraryPath,
                                  std::u16string_view executableFolder,
                                  std::u16string_view runtimeHome, os::PathStyle style)
{
    const char16_t listSeparator = os::PathListSeparator(style);
    std::u16string text = FolderListWithSeparator(libraryPath, style);
    text += executableFolder;
    text += listSeparator;
    text += u'.';
    text += listSeparator;
    text += PathReference(style);
    text += listSeparator;
    text += runtimeHome;
    text += os::PathSeparator(style);
    text += u"lib";
    return text;
}

std::u16string ComposeSystemPath(std::u16string_view systemPath, std::u16string_view binFolder,
                                 os::PathStyle style)
{
    std::u16string text = systemPath.empty() ? std::u16string()
                                             : FolderListWithSeparator(systemPath, style);
    text += PathReference(style);
    text += os::PathListSeparator(style);
    text += binFolder;
    return text;
}

void ApplyRuntimePaths(Launcher& launcher)
{
    const std::u16string& library = launcher.vmLibraryPath;
    const std::u16string home = RuntimeHomeOf(library);
    // Set first, so the settings expanded from here on can name the runtime.
    SetVariable(u"TALA_JVM_PATH", library);
    SetVariable(u"TALA_JVM_HOME", home);

    if (!launcher.settings.libraryPath.empty()) {
        std::u16string modulePath;
        os::GetModulePath(modulePath);
        std::u16string libraryPath = ComposeLibraryPath(
            launcher.settings.libraryPath, os::FolderWithSeparatorOf(modulePath, os::kHostPathStyle), home);
        ExpandEnvironment(libraryPath);
        launcher.vmOptions.Append(ToAnsi(u"-Djava.library.path=" + libraryPath));
    }

    // The runtime's bin, where its java lives, so that programs the
    // application starts find the same runtime. Expanded while the variable
    // still holds the Path this process started with.
    std::u16string binFolder = home;
    binFolder += os::PathSeparator(os::kHostPathStyle);
    binFolder += u"bin";
    std::u16string path = ComposeSystemPath(launcher.settings.systemPath, binFolder);
    ExpandEnvironment(path);
    SetVariable(std::u16string(PathVariableName()), path);
}

} // namespace tala
