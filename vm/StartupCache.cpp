#include "vm/StartupCache.h"

#include "launcher/Launcher.h"
#include "os/Environment.h"
#include "os/FileSearch.h"
#include "os/Files.h"
#include "os/Module.h"
#include "os/PathList.h"
#include "os/Process.h"
#include "os/ThreadMessages.h"
#include "os/UserCache.h"
#include "os/Utf8.h"
#include "settings/SettingsPaths.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

namespace tala {
namespace {

// Part of every fingerprint: a launcher that lays out its cache differently
// uses other names.
constexpr std::string_view kLayout = "tala startup cache 1";

constexpr std::u16string_view kArchiveExtension = u".jsa";
constexpr std::u16string_view kAotExtension = u".aot";
// Beside a fingerprint's cache: the runtime refused one once (a second
// recording follows), or it will not take or make one at all, and the
// launcher stops recording for this fingerprint rather than every start.
constexpr std::u16string_view kRefusedMarker = u".refused";
constexpr std::u16string_view kGivenUpMarker = u".off";

// The first four bytes of the runtime's archive files (little-endian): an
// ahead-of-time cache has the layout of the runtime's own base archive. A
// dynamic archive of the wrong kind would take the base archive's place and
// leave the VM with no shared classes at all.
constexpr std::array<std::uint8_t, 4> kDynamicArchiveMagic{0xA8, 0xAB, 0x0B, 0xF0};
constexpr std::array<std::uint8_t, 4> kAotCacheMagic{0xA2, 0xAB, 0x0B, 0xF0};

// Options that already decide about class-data sharing: turning it off or
// requiring it, naming an archive or cache, recording one, or OpenJ9's own
// shared classes (-Xshareclasses).
constexpr std::array<std::string_view, 13> kSharingOptions{
    "-Xshare",
    "-XX:SharedArchiveFile=",
    "-XX:ArchiveClassesAtExit=",
    "-XX:+AutoCreateSharedArchive",
    "-XX:+RecordDynamicDumpInfo",
    "-XX:SharedClassListFile=",
    "-XX:DumpLoadedClassList=",
    "-XX:-UseSharedSpaces",
    "-XX:+UseSharedSpaces",
    "-XX:+RequireSharedSpaces",
    "-XX:AOT",
    "-XX:+AOT",
    "-XX:-AOT",
};

// The runtime's exit hook receives no context: the one start of this process
// whose cache is still to be finished is known here.
std::atomic<const StartupCache*> unfinished{nullptr};

// A 64-bit FNV-1a hash of the parts, each closed by a byte no text holds.
class Fingerprint {
public:
    void Add(std::string_view bytes)
    {
        for (const char byte : bytes) Mix(static_cast<unsigned char>(byte));
        Mix(0xFF);
    }
    void Add(std::u16string_view text) { Add(os::ToUtf8(text)); }
    void Add(const os::FileStamp& stamp)
    {
        Add(std::to_string(stamp.size) + " " + std::to_string(stamp.modified));
    }
    std::u16string Hex() const
    {
        static constexpr char16_t kDigits[] = u"0123456789abcdef";
        std::u16string hex(16, u'0');
        for (int i = 0; i < 16; ++i) hex[static_cast<std::size_t>(i)] = kDigits[(hash_ >> (60 - 4 * i)) & 0xF];
        return hex;
    }

private:
    void Mix(unsigned char byte)
    {
        hash_ ^= byte;
        hash_ *= 0x100000001B3u;
    }

    std::uint64_t hash_ = 0xCBF29CE484222325u;
};

// The value of a KEY="value" line of a runtime's release file.
std::string ReleaseValue(std::string_view release, std::string_view key)
{
    std::size_t begin = 0;
    while (begin < release.size()) {
        std::size_t end = release.find('\n', begin);
        if (end == std::string_view::npos) end = release.size();
        std::string_view line = release.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
            std::string_view value = line.substr(key.size() + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
        begin = end + 1;
    }
    return {};
}

// 1.8 is 8; 17.0.15 is 17.
int FeatureVersion(const VersionNumber& version)
{
    return version.parts[0] == 1 ? version.parts[1] : version.parts[0];
}

struct Runtime {
    StartupCacheKind kind = StartupCacheKind::None;
    std::string release; // the release file's text, part of the fingerprint
    std::u16string home;
};

// The version the search found, else the one the runtime's release file
// names ("JRE Path" and runtimes beside the executable come without one).
Runtime DescribeRuntime(const Launcher& launcher)
{
    const char16_t separator = os::PathSeparator(os::kHostPathStyle);
    Runtime runtime;
    runtime.home = RuntimeHomeOf(launcher.vmLibraryPath);
    os::ReadSmallFile(runtime.home + separator + u"release", 65536, runtime.release);
    VersionNumber version = launcher.runtimeVersion;
    if (version == VersionNumber()) {
        version.Parse(os::FromUtf8(ReleaseValue(runtime.release, "JAVA_VERSION")), 0);
    }
    const std::string variant = ReleaseValue(runtime.release, "JVM_VARIANT");
    const bool hotSpot = (variant.empty() || IsCaseless(os::FromUtf8(variant), u"Hotspot")) &&
                         launcher.vmLibraryPath.find(u"j9vm") == std::u16string::npos;
    runtime.kind = StartupCacheKindFor(FeatureVersion(version), hotSpot);
    return runtime;
}

std::u16string ExecutableBaseName()
{
    std::u16string path;
    if (!os::GetModulePath(path)) return {};
    const std::size_t separator = path.rfind(os::PathSeparator(os::kHostPathStyle));
    std::u16string name = separator == std::u16string::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos && dot > 0) name.resize(dot);
    return WithoutUnsafeCharacters(name);
}

// The product's own folder in the user's cache: "Product Name" (or the
// executable's name) and "Product Code" below the cache root.
std::u16string CacheFolder(const LauncherSettings& settings, const std::u16string& executable)
{
    std::u16string product = WithoutUnsafeCharacters(settings.productName);
    if (product.empty()) product = executable;
    std::vector<std::u16string> levels{product};
    if (!settings.productCode.empty()) levels.push_back(settings.productCode);
    return os::MakePrivateFolder(os::UserCacheRoot(), levels);
}

void AddStamps(Fingerprint& fingerprint, const StringList& paths)
{
    for (const std::u16string& path : paths) {
        os::FileStamp stamp;
        if (os::ReadFileStamp(path, stamp)) {
            fingerprint.Add(stamp);
        } else {
            fingerprint.Add(std::string_view("missing"));
        }
    }
}

// The runtime's own base archives beside its VM library, which a dynamic
// archive builds on: made again when the runtime is updated, or by hand.
StringList RuntimeArchives(const std::u16string& vmLibraryPath)
{
    const char16_t separator = os::PathSeparator(os::kHostPathStyle);
    const std::u16string folder = vmLibraryPath.substr(0, vmLibraryPath.rfind(separator) + 1);
    StringList archives;
    for (const std::u16string& name : os::FindMatchingNames(folder + u"*.jsa")) archives.push_back(folder + name);
    std::sort(archives.begin(), archives.end());
    return archives;
}

// What makes a cache valid for this start: the runtime (its VM library, as
// it is on disk, and its release file), every VM option, the options the
// runtime reads from the environment, and each class path entry as it is
// on disk.
std::u16string FingerprintOf(const Launcher& launcher, const Runtime& runtime)
{
    Fingerprint fingerprint;
    fingerprint.Add(kLayout);
    fingerprint.Add(std::to_string(static_cast<int>(runtime.kind)));
    fingerprint.Add(launcher.vmLibraryPath);
    AddStamps(fingerprint, {launcher.vmLibraryPath});
    AddStamps(fingerprint, RuntimeArchives(launcher.vmLibraryPath));
    fingerprint.Add(runtime.release);
    for (const std::string& option : launcher.vmOptions.Options()) fingerprint.Add(option);
    for (const char16_t* name : {u"JAVA_TOOL_OPTIONS", u"_JAVA_OPTIONS"}) {
        fingerprint.Add(os::ReadEnvironmentVariable(name).value_or(u"(none)"));
    }
    StringList entries;
    SplitString(launcher.classPath, std::u16string(1, os::PathListSeparator(os::kHostPathStyle)), entries);
    AddStamps(fingerprint, entries);
    return fingerprint.Hex();
}

std::u16string_view ExtensionOf(StartupCacheKind kind)
{
    return kind == StartupCacheKind::AotCache ? kAotExtension : kArchiveExtension;
}

// A settled cache is named stem-SIZE.ext. A file of another size was cut
// short (a cut dynamic archive brings some runtimes down as they map it), and
// one that does not begin as its kind does was overwritten: neither is ever
// handed to the runtime.
bool IsIntact(const std::u16string& path, std::u16string_view sizeInName, StartupCacheKind kind)
{
    os::FileStamp stamp;
    std::array<std::uint8_t, 4> header{};
    return os::ReadFileStamp(path, stamp) && !stamp.isFolder &&
           os::ToUtf8(sizeInName) == std::to_string(stamp.size) && os::ReadFileHeader(path, header) == 0 &&
           header == (kind == StartupCacheKind::AotCache ? kAotCacheMagic : kDynamicArchiveMagic);
}

std::u16string FindSettledCache(const std::u16string& folder, const std::u16string& stem,
                                StartupCacheKind kind)
{
    const char16_t separator = os::PathSeparator(os::kHostPathStyle);
    const std::u16string_view extension = ExtensionOf(kind);
    const std::size_t sizeAt = stem.size() - folder.size(); // behind the folder, the stem and "-"
    std::u16string found;
    for (const std::u16string& name : os::FindMatchingNames(stem + u"-*" + std::u16string(extension))) {
        const std::u16string path = folder + separator + name;
        const std::u16string_view sizeInName =
            std::u16string_view(name).substr(sizeAt, name.size() - sizeAt - extension.size());
        if (found.empty() && IsIntact(path, sizeInName, kind)) {
            found = path;
        } else {
            os::DiscardFile(path);
        }
    }
    return found;
}

// Before recording anew: the executable's files of other fingerprints are
// out of date. Files of other executables of the product stay.
void RemoveOutdatedFiles(const std::u16string& folder, const std::u16string& executable,
                         const std::u16string& fingerprint)
{
    const char16_t separator = os::PathSeparator(os::kHostPathStyle);
    const std::u16string prefix = executable + u'-';
    for (const std::u16string& name : os::FindMatchingNames(folder + separator + prefix + u"*")) {
        const std::u16string rest = name.substr(prefix.size());
        const bool ours = rest.size() > 16 && (rest[16] == u'-' || rest[16] == u'.') &&
                          rest.find_first_not_of(u"0123456789abcdef") == 16;
        if (ours && !rest.starts_with(fingerprint)) os::DiscardFile(folder + separator + name);
    }
}

// -Xlog: options take a file name in quotes, so that a drive's ":" does not end it.
std::string LogOutput(const std::u16string& file)
{
    return ":file=\"" + ToAnsi(file) + "\"::filecount=0";
}

// The runtime's own messages about its archive never reach the
// application's console: they are switched off, and with a cache in use,
// its warnings go to the report file instead.
void AppendQuietOptions(const StartupCache& cache, VmOptionList& options)
{
    const bool aot = cache.kind == StartupCacheKind::AotCache;
    options.Append(aot ? "-Xlog:aot*=off,cds*=off" : "-Xlog:cds*=off");
    if (cache.cacheFile.empty()) return;
    options.Append((aot ? "-Xlog:aot*=warning,cds*=warning" : "-Xlog:cds*=warning") +
                   LogOutput(cache.report));
}

void AppendCacheOptions(const StartupCache& cache, VmOptionList& options)
{
    const bool aot = cache.kind == StartupCacheKind::AotCache;
    if (!cache.cacheFile.empty()) {
        options.Append((aot ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=") + ToAnsi(cache.cacheFile));
    } else if (aot) {
        options.Append("-XX:AOTMode=record");
        options.Append("-XX:AOTConfiguration=" + ToAnsi(cache.recording));
        // The recording start announces the file on the VM's console,
        // whatever -Xlog says.
        options.Append("-XX:+UnlockDiagnosticVMOptions");
        options.Append("-XX:-DisplayVMOutput");
    } else {
        options.Append("-XX:ArchiveClassesAtExit=" + ToAnsi(cache.recording));
    }
    AppendQuietOptions(cache, options);
}

// A name the VM's option parser reads back whole: no quote (the -Xlog file
// name is quoted) and no list separator (-XX:SharedArchiveFile takes a list).
bool IsUsableInOptions(const std::u16string& folder)
{
    return folder.find_first_of(std::u16string{u'"', os::PathListSeparator(os::kHostPathStyle)}) ==
           std::u16string::npos;
}

// The recorded file under its cache name, or gone. Of two starts that
// recorded at the same time, the first to settle its file wins.
void Settle(const std::u16string& made, const std::u16string& stem, std::u16string_view extension)
{
    const std::u16string ending(extension);
    os::FileStamp stamp;
    if (!os::ReadFileStamp(made, stamp) || stamp.isFolder || stamp.size == 0 ||
        !os::FindMatchingNames(stem + u"-*" + ending).empty() ||
        !os::SettleFile(made, stem + u"-" + os::FromUtf8(std::to_string(stamp.size)) + ending)) {
        os::DiscardFile(made);
    }
}

// The runtime's java assembles the cache from the recording, with the
// application's own VM options, unseen; the process waits for it, as the
// runtime's own one-step recording does.
void AssembleAotCache(const StartupCache& cache)
{
    os::FileStamp stamp;
    if (!os::ReadFileStamp(cache.recording, stamp)) return;
    const std::u16string assembled =
        cache.stem + u"." + os::FromUtf8(std::to_string(os::CurrentProcessId())) + u".aot.tmp";
    std::vector<std::string> arguments = cache.applicationOptions;
    arguments.push_back("-XX:AOTMode=create");
    arguments.push_back("-XX:AOTConfiguration=" + ToAnsi(cache.recording));
    arguments.push_back("-XX:AOTCache=" + ToAnsi(assembled));
    // The runtime's java reads options of its own from JDK_JAVA_OPTIONS, which
    // the VM in the launcher never saw.
    if (os::RunQuietly(cache.java, arguments, {u"JDK_JAVA_OPTIONS"}) == 0) {
        Settle(assembled, cache.stem, kAotExtension);
    } else {
        os::DiscardFile(assembled);
        os::MakeEmptyFile(cache.stem + std::u16string(kGivenUpMarker));
    }
    os::DiscardFile(cache.recording);
}

} // namespace

StartupCacheKind StartupCacheKindFor(int featureVersion, bool hotSpot)
{
    if (!hotSpot || featureVersion < 13) return StartupCacheKind::None;
    return featureVersion < 25 ? StartupCacheKind::DynamicArchive : StartupCacheKind::AotCache;
}

bool DecidesClassSharing(std::string_view option)
{
    for (const std::string_view prefix : kSharingOptions) {
        if (option.starts_with(prefix)) return true;
    }
    return false;
}

void PrepareStartupCache(Launcher& launcher)
{
    if (!launcher.settings.startupCache) return;
    for (const std::string& option : launcher.vmOptions.Options()) {
        if (DecidesClassSharing(option)) return;
    }
    const Runtime runtime = DescribeRuntime(launcher);
    if (runtime.kind == StartupCacheKind::None) return;
    const std::u16string executable = ExecutableBaseName();
    if (executable.empty()) return;
    const std::u16string folder = CacheFolder(launcher.settings, executable);
    if (folder.empty() || !IsUsableInOptions(folder)) return;

    const char16_t separator = os::PathSeparator(os::kHostPathStyle);
    const std::u16string fingerprint = FingerprintOf(launcher, runtime);
    const std::u16string stem = folder + separator + executable + u"-" + fingerprint;
    if (os::PathExists(stem + std::u16string(kGivenUpMarker))) return;
    const std::u16string ownSuffix = u"." + os::FromUtf8(std::to_string(os::CurrentProcessId()));
    StartupCache& cache = launcher.startupCache;
    cache.kind = runtime.kind;
    cache.stem = stem;
    cache.cacheFile = FindSettledCache(folder, cache.stem, cache.kind);
    if (cache.cacheFile.empty()) {
        RemoveOutdatedFiles(folder, executable, fingerprint);
        cache.recording = cache.stem + ownSuffix +
                          (cache.kind == StartupCacheKind::AotCache ? u".aotconf" : u".jsa.tmp");
    } else {
        cache.report = cache.stem + ownSuffix + u".log";
    }
    cache.java = runtime.home + separator + u"bin" + separator +
                 (separator == u'\\' ? u"java.exe" : u"java");
    cache.applicationOptions = launcher.vmOptions.Options();
    AppendCacheOptions(cache, launcher.vmOptions);
    unfinished.store(&cache);
}

void CheckStartupCache(const Launcher& launcher)
{
    const StartupCache& cache = launcher.startupCache;
    if (cache.report.empty()) return;
    os::FileStamp stamp;
    if (os::ReadFileStamp(cache.report, stamp) && stamp.size > 0) {
        os::DiscardFile(cache.cacheFile);
        const std::u16string refused = cache.stem + std::u16string(kRefusedMarker);
        os::MakeEmptyFile(os::PathExists(refused) ? cache.stem + std::u16string(kGivenUpMarker) : refused);
    }
    // The runtime may still hold it open (Windows): then it goes at the end.
    os::DiscardFile(cache.report);
}

void FinishStartupCache()
{
    const StartupCache* cache = unfinished.exchange(nullptr);
    if (cache == nullptr) return;
    if (!cache->report.empty()) os::DiscardFile(cache->report);
    if (cache->recording.empty()) return;
    if (cache->kind == StartupCacheKind::AotCache) {
        AssembleAotCache(*cache);
    } else {
        Settle(cache->recording, cache->stem, kArchiveExtension);
    }
}

} // namespace tala
