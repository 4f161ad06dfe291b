#include "os/posix/RuntimeFolders.h"

#include "os/RuntimeRelease.h"
#include "os/Utf8.h"
#include "os/posix/FileContent.h"
#include "os/posix/UniqueDirectory.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace tala::os {
namespace {

std::vector<std::string> SortedEntries(const std::string& root)
{
    std::vector<std::string> names;
    const UniqueDirectory directory(::opendir(root.c_str()));
    if (!directory) return names;
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> RealPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

// Registry key names have at most 255 characters.
constexpr std::size_t kLongestKeyName = 255;

} // namespace

std::vector<std::string> DefaultRuntimeRoots() { return {"/usr/lib/jvm", "/usr/java", "/opt/java"}; }

std::vector<RuntimeFolder> ScanRuntimeFolders(const std::vector<std::string>& roots)
{
    std::vector<RuntimeFolder> folders;
    std::vector<std::string> seen;
    for (const std::string& root : roots) {
        for (const std::string& name : SortedEntries(root)) {
            const auto home = RealPath(root + "/" + name);
            if (!home || !IsDirectory(*home)) continue;
            if (std::find(seen.begin(), seen.end(), *home) != seen.end()) continue;
            seen.push_back(*home);

            std::string release;
            if (!ReadFileContent(*home + "/release", release)) continue;
            const auto version = ReleaseValue(release, "JAVA_VERSION");
            if (!version || version->empty() || version->size() > kLongestKeyName) continue;

            RuntimeFolder folder{FromUtf8(*version), FromUtf8(*home), IsFile(*home + "/bin/javac")};
            const bool taken = std::any_of(folders.begin(), folders.end(), [&](const RuntimeFolder& f) {
                return f.name == folder.name && f.isJdk == folder.isJdk;
            });
            if (!taken) folders.push_back(std::move(folder));
        }
    }
    return folders;
}

} // namespace tala::os
