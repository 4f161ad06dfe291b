#include "vm/StartupCache.h"

#include "launcher/Launcher.h"
#include "os/DecimalText.h"
#include "os/Files.h"
#include "os/Module.h"
#include "os/PathList.h"
#include "os/PathText.h"
#include "os/Process.h"
#include "os/RuntimeRelease.h"
#include "os/ThreadMessages.h"
#include "os/UserCache.h"
#include "os/Utf8.h"
#include "settings/SettingsPaths.h"
#include "vm/CacheFiles.h"
#include "vm/CacheFingerprint.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

#include <array>
#include <atomic>

namespace tala {
namespace {

// Beside a fingerprint's cache: the runtime refused one once (a second
// recording follows), or it takes or makes none at all, and then the
// launcher stops recording for this fingerprint rather than at every start.
constexpr std::u16string_view kRefusedMarker = u".refused";
constexpr std::u16string_view kGivenUpMarker = u".off";

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

// Options of the application that would make the java assembling an AOT
// cache write where the application writes: logs, recordings. The cache
// does not depend on them.
constexpr std::array<std::string_view, 5> kOutputOptions{
    "-Xlog", "-Xloggc", "-verbose", "-XX:StartFlightRecording", "-XX:+FlightRecorder",
};

// The runtime's exit hook receives no context: the one start of this process
// whose cache is still to be finished is known here.
std::atomic<const StartupCache*> unfinished{nullptr};

bool StartsWithAny(std::string_view option, const auto& prefixes)
{
    for (const std::string_view prefix : prefixes) {
        if (option.starts_with(prefix)) return true;
    }
    return false;
}

struct Runtime {
    StartupCacheKind kind = StartupCacheKind::None;
    std::string release; // the release file's text
    std::u16string home;
};

// The version the search found, else the one the runtime's release file
// names ("JRE Path" and runtimes beside the executable come without one).
Runtime DescribeRuntime(const Launcher& launcher)
{
    Runtime runtime;
    runtime.home = RuntimeHomeOf(launcher.vmLibraryPath);
    runtime.release =
        os::ReadFileStart(os::JoinPath(runtime.home, u"release", os::kHostPathStyle), 65536).value_or("");
    VersionNumber version = launcher.runtimeVersion;
    if (version == VersionNumber()) {
        version.Parse(os::FromUtf8(os::ReleaseValue(runtime.release, "JAVA_VERSION").value_or("")), 0);
    }
    const int feature = version.parts[0] == 1 ? version.parts[1] : version.parts[0]; // 1.8 is 8
    const std::string variant = os::ReleaseValue(runtime.release, "JVM_VARIANT").value_or("");
    const bool hotSpot = (variant.empty() || IsCaseless(os::FromUtf8(variant), u"Hotspot")) &&
                         launcher.vmLibraryPath.find(u"j9vm") == std::u16string::npos;
    runtime.kind = StartupCacheKindFor(feature, hotSpot);
    return runtime;
}

std::u16string ExecutableName()
{
    std::u16string path;
    if (!os::GetModulePath(path)) return {};
    std::u16string name(os::FileNameOf(path, os::kHostPathStyle));
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

// A path the VM's option parser reads back whole: no quote (the -Xlog file
// name is quoted) and no list separator (-XX:SharedArchiveFile takes a list).
bool IsUsableInOptions(const std::u16string& path)
{
    return path.find_first_of(std::u16string{u'"', os::PathListSeparator(os::kHostPathStyle)}) ==
           std::u16string::npos;
}

std::u16string Marker(const StartupCache& cache, std::u16string_view marker)
{
    return cache.stem + std::u16string(marker);
}

// The runtime's own messages about its archive never reach the
// application's console: they are switched off there, and with a cache in
// use its warnings go to the report file instead. -Xlog takes a file name in
// quotes, so that a drive's ":" does not end it.
void AppendQuietOptions(const StartupCache& cache, VmOptionList& options)
{
    const bool aot = cache.kind == StartupCacheKind::AotCache;
    options.Append(aot ? "-Xlog:aot*=off,cds*=off" : "-Xlog:cds*=off");
    if (cache.cacheFile.empty()) return;
    options.Append((aot ? "-Xlog:aot*=warning,cds*=warning" : "-Xlog:cds*=warning") +
                   (":file=\"" + ToAnsi(cache.report) + "\"::filecount=0"));
}

void AppendCacheOptions(const StartupCache& cache, VmOptionList& options)
{
    const bool aot = cache.kind == StartupCacheKind::AotCache;
    if (!cache.cacheFile.empty()) {
        options.Append((aot ? "-XX:AOTCache=" : "-XX:SharedArchiveFile=") + ToAnsi(cache.cacheFile));
    } else if (aot) {
        options.Append("-XX:AOTMode=record");
        options.Append("-XX:AOTConfiguration=" + ToAnsi(cache.recording));
        // The recording start announces its file on the VM's console,
        // whatever -Xlog says.
        options.Append("-XX:+UnlockDiagnosticVMOptions");
        options.Append("-XX:-DisplayVMOutput");
    } else {
        options.Append("-XX:ArchiveClassesAtExit=" + ToAnsi(cache.recording));
    }
    AppendQuietOptions(cache, options);
}

// The runtime's java assembles the cache from the recording with the
// application's VM options, unseen; the process waits for it, as it would
// for the runtime's own one-step recording.
void AssembleAotCache(const StartupCache& cache)
{
    os::FileStamp stamp;
    if (!os::ReadFileStamp(cache.recording, stamp)) return;
    const std::u16string assembled =
        cache.stem + u"." + os::DecimalText(os::CurrentProcessId()) + u".aot.tmp";
    std::vector<std::string> arguments;
    for (const std::string& option : cache.applicationOptions) {
        if (!StartsWithAny(option, kOutputOptions)) arguments.push_back(option);
    }
    arguments.push_back("-XX:AOTMode=create");
    arguments.push_back("-XX:AOTConfiguration=" + ToAnsi(cache.recording));
    arguments.push_back("-XX:AOTCache=" + ToAnsi(assembled));
    // java reads options of its own from JDK_JAVA_OPTIONS, which the VM in
    // the launcher never saw.
    if (os::RunQuietly(cache.java, arguments, {u"JDK_JAVA_OPTIONS"}) == 0) {
        SettleCache(assembled, cache.stem, CacheFormat::AotCache);
    } else {
        os::DiscardFile(assembled);
        os::MakeEmptyFile(Marker(cache, kGivenUpMarker));
    }
    os::DiscardFile(cache.recording);
}

} // namespace

StartupCacheKind StartupCacheKindFor(int featureVersion, bool hotSpot)
{
    if (!hotSpot || featureVersion < 13) return StartupCacheKind::None;
    return featureVersion < 25 ? StartupCacheKind::DynamicArchive : StartupCacheKind::AotCache;
}

bool DecidesClassSharing(std::string_view option) { return StartsWithAny(option, kSharingOptions); }

void PrepareStartupCache(Launcher& launcher)
{
    if (!launcher.settings.startupCache) return;
    for (const std::string& option : launcher.vmOptions.Options()) {
        if (DecidesClassSharing(option)) return;
    }
    const Runtime runtime = DescribeRuntime(launcher);
    if (runtime.kind == StartupCacheKind::None) return;
    const std::u16string executable = ExecutableName();
    const std::u16string folder = executable.empty() ? u"" : CacheFolder(launcher.settings, executable);
    if (folder.empty()) return;

    const bool aot = runtime.kind == StartupCacheKind::AotCache;
    const std::u16string fingerprint =
        CacheFingerprint(launcher, aot ? "aot" : "dynamic archive", runtime.release);
    StartupCache& cache = launcher.startupCache;
    cache.stem = os::JoinPath(folder, executable + u"-" + fingerprint, os::kHostPathStyle);
    if (!IsUsableInOptions(cache.stem) || os::PathExists(Marker(cache, kGivenUpMarker))) return;

    cache.kind = runtime.kind;
    const CacheFormat format = aot ? CacheFormat::AotCache : CacheFormat::DynamicArchive;
    const std::u16string ownFile = cache.stem + u"." + os::DecimalText(os::CurrentProcessId());
    cache.cacheFile = FindSettledCache(folder, cache.stem, format);
    if (cache.cacheFile.empty()) {
        RemoveOutdatedFiles(folder, executable, fingerprint);
        cache.recording = ownFile + (aot ? u".aotconf" : u".jsa.tmp");
    } else {
        cache.report = ownFile + u".log";
    }
    const std::u16string_view java = os::kHostPathStyle == os::PathStyle::Windows ? u"java.exe" : u"java";
    cache.java = os::JoinPath(os::JoinPath(runtime.home, u"bin", os::kHostPathStyle), java, os::kHostPathStyle);
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
        const std::u16string refused = Marker(cache, kRefusedMarker);
        os::MakeEmptyFile(os::PathExists(refused) ? Marker(cache, kGivenUpMarker) : refused);
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
        SettleCache(cache->recording, cache->stem, CacheFormat::DynamicArchive);
    }
}

} // namespace tala
