// "Startup Cache=Yes" on real runtimes: the first start records, later ones map; whatever
// happens to the cache, every start runs cleanly and a damaged or refused cache is recorded anew.
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

// A runtime of version 25 or later in the usual place, if the machine has one.
std::optional<fs::path> AotRuntime()
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/jvm", error)) {
        std::ifstream release(entry.path() / "release");
        for (std::string line; std::getline(release, line);) {
            if (line.rfind("JAVA_VERSION=\"", 0) == 0 && std::atoi(line.c_str() + 14) >= 25) return entry.path();
        }
    }
    return std::nullopt;
}

// probe.Streams from a jar beside the launcher, both streams to files; the
// class loading log tells where its main class came from.
class CachedApp {
public:
    CachedApp(const fs::path& runtime, const std::string& parameters) : cacheHome_(u"XDG_CACHE_HOME", cache_.Child(""))
    {
        fs::copy_file(TALA_PROBE_JAR, Jar());
        app_.WriteSettings("[Product Information]\nProduct Name=Shop\nProduct Code=1\n"
                           "[Java Runtime Environment]\nJRE Path=" + runtime.string() +
                           "\nMain Class=probe.Streams\nStartup Cache=yes\nVirtual Machine Parameters=" +
                           "-Xlog:class+load=info:file=" + (app_.Path() / "classes.log").string() + " " + parameters +
                           "\n[Class Path]\nClass Path=probe.jar\n[Application]\nOutput File=out.log\nError File=err.log\n");
    }

    fs::path Jar() const { return app_.Path() / "probe.jar"; }
    fs::path Folder() const { return cache_.Path() / "Shop" / "1"; }
    std::vector<fs::path> CacheFiles() const
    {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(Folder(), error)) {
            const fs::path extension = entry.path().extension();
            if (extension == ".jsa" || extension == ".aot") files.push_back(entry.path());
        }
        return files;
    }

    // One start, which must run the application exactly as without a cache;
    // true when its main class came from a shared archive.
    bool StartMaps(const std::string& rule) const
    {
        const RunResult result = app_.Run({"word"});
        EXPECT_EQ(result.exitCode, 0) << rule << ": " << result.errors;
        EXPECT_EQ(result.output + result.errors, "") << rule;
        EXPECT_EQ(ReadBytes(app_.Path() / "out.log"), "from the static initialiser\nword\n") << rule;
        EXPECT_EQ(ReadBytes(app_.Path() / "err.log"), "to the error stream\n") << rule;
        return ReadBytes(app_.Path() / "classes.log").find("probe.Streams source: shared objects file") !=
               std::string::npos;
    }
    const AppFolder& App() const { return app_; }

private:
    AppFolder app_;
    TempFolder cache_;
    ScopedEnvironmentVariable cacheHome_;
};

// An archive the runtime itself made, for another class path, under the
// cache's name: only the runtime can tell it does not fit.
void SwapInForeignArchive(const CachedApp& app, const fs::path& cache)
{
    const fs::path foreign = app.App().Path() / "foreign.jsa";
    if (!fs::exists(foreign)) {
        fs::copy_file(TALA_PROBE_JAR, app.App().Path() / "other.jar");
        Program java({(JdkHome() / "bin/java").string(), "-XX:ArchiveClassesAtExit=" + foreign.string(), "-cp",
                      "other.jar", "probe.Streams"},
                     app.App().Path());
        ASSERT_EQ(java.Finish(std::chrono::seconds(60)).exitCode, 0);
    }
    const std::string name = cache.filename().string();
    fs::remove(cache);
    fs::copy_file(foreign, cache.parent_path() / (name.substr(0, name.rfind('-') + 1) +
                                                  std::to_string(fs::file_size(foreign)) + ".jsa"));
}

TEST(StartupCache, LaterStartsMapTheCacheAndAnythingWrongWithItOnlyCostsARecording)
{
    // mapsLater: each start after the first; files: caches at the end; againAfter: a later start
    // after which afterFirstStart runs too.
    struct Case { const char* rule; std::optional<fs::path> runtime; std::string parameters;
        std::function<void(const CachedApp&)> afterFirstStart; std::vector<bool> mapsLater; std::size_t files;
        std::size_t againAfter = 0; };
    const auto cacheOf = [](const CachedApp& app) { return app.CacheFiles().at(0); };
    const Case cases[] = {
        {"the second start maps what the first recorded", JdkHome(), "", [](const CachedApp&) {}, {true, true}, 1},
        {"25 and later: an ahead-of-time cache", AotRuntime(), "", [](const CachedApp&) {}, {true}, 1},
        {"a changed class path entry records anew, the old cache goes", JdkHome(), "",
         [](const CachedApp& app) { fs::last_write_time(app.Jar(), fs::last_write_time(app.Jar()) + std::chrono::hours(1)); },
         {false, true}, 1},
        {"a cut cache is never mapped", JdkHome(), "",
         [&](const CachedApp& app) { fs::resize_file(cacheOf(app), fs::file_size(cacheOf(app)) / 2); }, {false, true}, 1},
        {"an overwritten cache is never mapped", JdkHome(), "",
         [&](const CachedApp& app) {
             fs::permissions(cacheOf(app), fs::perms::owner_write, fs::perm_options::add);
             std::fstream(cacheOf(app), std::ios::in | std::ios::out | std::ios::binary) << "overwritten";
         }, {false, true}, 1},
        {"a cache the runtime refuses is recorded anew", JdkHome(), "",
         [&](const CachedApp& app) { SwapInForeignArchive(app, cacheOf(app)); }, {false, false, true}, 1},
        {"a fingerprint whose cache the runtime refuses twice is given up", JdkHome(), "",
         [&](const CachedApp& app) { SwapInForeignArchive(app, cacheOf(app)); }, {false, false, false, false}, 0, 3},
        {"a folder others may write to is not trusted", JdkHome(), "",
         [](const CachedApp& app) { fs::permissions(app.Folder(), fs::perms::others_write, fs::perm_options::add); },
         {false}, 1},
        {"-Xshare:off wins: nothing is recorded", JdkHome(), "-Xshare:off", [](const CachedApp&) {}, {false}, 0},
        {"an archive named in the parameters wins", JdkHome(),
         "-XX:SharedArchiveFile=" + (JdkHome() / "lib/server/classes.jsa").string(), [](const CachedApp&) {}, {false}, 0},
    };
    for (const Case& c : cases) {
        if (!c.runtime) continue; // no such runtime on this machine
        const CachedApp app(*c.runtime, c.parameters);
        app.StartMaps(c.rule);
        if (app.CacheFiles().size() == 1) c.afterFirstStart(app);
        for (std::size_t start = 2; start < c.mapsLater.size() + 2; ++start) {
            EXPECT_EQ(app.StartMaps(c.rule), c.mapsLater[start - 2]) << c.rule << ": start " << start;
            if (start == c.againAfter && app.CacheFiles().size() == 1) c.afterFirstStart(app);
        }
        EXPECT_EQ(app.CacheFiles().size(), c.files) << c.rule;
    }
}

TEST(StartupCache, TwoFirstStartsAtOnceLeaveOneCache)
{
    const CachedApp app(JdkHome(), "");
    const auto first = app.App().Start({"word"});
    const auto second = app.App().Start({"word"});
    EXPECT_EQ(first->Finish(std::chrono::seconds(60)).exitCode, 0);
    EXPECT_EQ(second->Finish(std::chrono::seconds(60)).exitCode, 0);
    EXPECT_EQ(app.CacheFiles().size(), 1u);
    EXPECT_TRUE(app.StartMaps("after two first starts"));
}

} // namespace
} // namespace tala::test
