// The startup cache ("Startup Cache=Yes"): one start has the runtime record
// the classes the application loads into a file in the user's cache folder;
// later starts map that file instead of loading, parsing and verifying the
// classes again. The file is named after everything that makes it valid, so a
// changed runtime, class path or VM option leads to a new one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tala {

class Launcher;

enum class StartupCacheKind {
    None,
    DynamicArchive, // 13 to 24: a class-data archive the VM writes as it ends
    AotCache,       // 25 on: an ahead-of-time cache assembled from a recorded start
};

struct StartupCache {
    StartupCacheKind kind = StartupCacheKind::None;
    std::u16string stem;      // the folder and the file names' common start
    std::u16string cacheFile; // the cache this start maps; empty in a recording start
    std::u16string recording; // what the runtime writes as a recording start ends
    std::u16string report;    // where the runtime's complaints about the cache go
    std::u16string java;      // the runtime's java program, which assembles an AOT cache
    std::vector<std::string> applicationOptions; // the VM options without the cache's
};

// The cache a runtime offers, by its feature version (8 for 1.8) and VM.
StartupCacheKind StartupCacheKindFor(int featureVersion, bool hotSpot);

// True for a VM option that decides about class-data sharing itself (turns
// it off or on, or names an archive or cache): then the launcher adds nothing.
bool DecidesClassSharing(std::string_view option);

// With the switch on, appends the options that make the runtime map the
// cache or record one. Without a usable cache folder, or for a runtime
// without such a cache, nothing is added and nothing is said.
void PrepareStartupCache(Launcher& launcher);

// Right after the VM's creation: a cache the runtime refused is removed, so
// that the next start records a new one.
void CheckStartupCache(const Launcher& launcher);

// Once the VM has ended (the runtime's exit hook, or after DestroyJavaVM):
// gives what a recording start made its cache name. Does its work once.
void FinishStartupCache();

} // namespace tala
