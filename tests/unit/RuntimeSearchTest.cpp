// The runtime search on made-up machines: which runtime each combination of
// settings chooses, from "JRE Path", beside the executable and the registry.
#include "runtime/FindRuntime.h"
#include "runtime/RegistrySearch.h"

#include <gtest/gtest.h>

#include <functional>
#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace tala {
namespace {

using os::RegistryRoot;
using os::RegistryView;

// A Windows machine with files, registry keys and an environment, nothing else.
class FakeMachine : public RuntimeMachine {
public:
    FakeMachine& Runtime(std::size_t key, const std::u16string& name, const std::u16string& home,
                         std::initializer_list<const char16_t*> vmKinds,
                         RegistryView view = RegistryView::Default)
    {
        Value(RegistryRoot::LocalMachine, view, std::u16string(kRuntimeKeys[key].path) + name, u"JavaHome", home);
        const std::u16string inner = kRuntimeKeys[key].homeHoldsInnerJre ? u"\\jre" : u"";
        for (const char16_t* kind : vmKinds) File(home + inner + u"\\bin\\" + kind + u"\\jvm.dll");
        return *this;
    }
    // A key (and the keys above it) holding a string value.
    FakeMachine& Value(RegistryRoot root, RegistryView view, std::u16string key, const std::u16string& name,
                       const std::u16string& value)
    {
        key = Trimmed(key);
        values_[{root, view, key + u"|" + name}] = value;
        for (std::size_t cut = key.rfind(u'\\'); cut != std::u16string::npos; cut = key.rfind(u'\\')) {
            auto& names = keys_[{root, view, key.substr(0, cut)}];
            const std::u16string child = key.substr(cut + 1);
            if (std::find(names.begin(), names.end(), child) == names.end()) names.push_back(child);
            key.resize(cut);
        }
        return *this;
    }
    // A runtime folder as installers leave it: a release file, a VM library
    // (a 32-bit one when asked), the compiler for a JDK.
    FakeMachine& Home(const std::u16string& home, const std::string& release, bool jdk = true,
                      const std::u16string& vmFolder = u"bin\\server", bool x86 = false)
    {
        releases_[home + u"\\release"] = release;
        File(home + u"\\" + vmFolder + u"\\jvm.dll");
        if (x86) x86_.insert(home + u"\\" + vmFolder + u"\\jvm.dll");
        if (jdk) File(home + u"\\bin\\javac.exe");
        return *this;
    }
    FakeMachine& File(const std::u16string& path)
    {
        files_.insert(path);
        return *this;
    }
    FakeMachine& Environment(const std::u16string& name, const std::u16string& value)
    {
        environment_[name] = value;
        return *this;
    }
    FakeMachine& Folder(const std::u16string& folder, std::vector<std::u16string> entries)
    {
        folders_[folder] = std::move(entries);
        return *this;
    }

    bool PathExists(const std::u16string& path) const override { return files_.count(path) != 0; }
    std::optional<std::vector<std::u16string>> SubKeyNames(RegistryRoot root, const std::u16string& keyPath,
                                                           RegistryView view) const override
    {
        return Find(keys_, {root, view, Trimmed(keyPath)});
    }
    std::optional<std::u16string> RegistryString(RegistryRoot root, const std::u16string& keyPath,
                                                 const std::u16string& valueName, RegistryView view) const override
    {
        return Find(values_, {root, view, Trimmed(keyPath) + u"|" + valueName});
    }
    std::optional<std::u16string> EnvironmentVariable(const std::u16string& name) const override
    {
        return Find(environment_, name);
    }
    std::u16string UserHomeFolder() const override { return u"C:\\Users\\ann"; }
    std::vector<std::u16string> FolderEntries(const std::u16string& folder) const override
    {
        return Find(folders_, folder).value_or(std::vector<std::u16string>{});
    }
    std::optional<std::string> ReleaseText(const std::u16string& path) const override { return Find(releases_, path); }
    std::u16string PathIdentity(const std::u16string& path) const override { return Trimmed(path); }
    bool IsX86Library(const std::u16string& path) const override { return x86_.count(path) != 0; }

private:
    template <typename Map>
    static std::optional<typename Map::mapped_type> Find(const Map& map, const typename Map::key_type& key)
    {
        const auto found = map.find(key);
        return found == map.end() ? std::nullopt : std::optional(found->second);
    }
    static std::u16string Trimmed(std::u16string path)
    {
        while (!path.empty() && path.back() == u'\\') path.pop_back();
        return path;
    }

    using Place = std::tuple<RegistryRoot, RegistryView, std::u16string>;
    std::set<std::u16string> files_;
    std::set<std::u16string> x86_;
    std::map<Place, std::vector<std::u16string>> keys_;
    std::map<Place, std::u16string> values_;
    std::map<std::u16string, std::u16string> environment_;
    std::map<std::u16string, std::vector<std::u16string>> folders_;
    std::map<std::u16string, std::string> releases_;
};

enum Key : std::size_t { Jdk, Jre, DevKit, RuntimeEnv, JRockitJre, JRockitJdk, Ibm };

LauncherSettings Defaults()
{
    LauncherSettings settings; // as ReadSettings leaves them for an empty file...
    settings.wantJdk = settings.wantJre = true;
    settings.maximumVersion = VersionNumber::ParseBound(u"any", VersionNumber::Bound::Maximum);
    return settings; // ...but with "Maximum Version=any"
}

struct SearchCase {
    const char* rule;
    FakeMachine machine;
    std::function<void(LauncherSettings&)> configure;
    std::u16string expected; // the VM library chosen; empty: none
};

// Each case's choice, for an executable C:\App\Shop.exe; a library in a
// folder named "x86" must come from the 32-bit view.
void ExpectChoices(const std::vector<SearchCase>& cases)
{
    for (const SearchCase& c : cases) {
        LauncherSettings settings = Defaults();
        c.configure(settings);
        const auto choice = SearchRuntime(settings, u"C:\\App\\Shop.exe", c.machine, os::PathStyle::Windows);
        EXPECT_EQ(choice ? choice->vmLibraryPath : u"", c.expected) << c.rule;
        EXPECT_EQ(choice && choice->from32BitView, c.expected.find(u"x86") != std::u16string::npos) << c.rule;
    }
}

// VM Provider's switches: allow JRockit, Sun, IBM; favor JRockit, Sun, IBM.
std::function<void(LauncherSettings&)> Provider(bool aJ, bool aS, bool aI, bool fJ, bool fS, bool fI)
{
    return [=](LauncherSettings& s) {
        s.allowJRockit = aJ, s.allowSun = aS, s.allowIbm = aI;
        s.favorJRockit = fJ, s.favorSun = fS, s.favorIbm = fI;
    };
}

TEST(RuntimeSearch, ChoosesAsTheSettingsRank)
{
    const auto none = [](LauncherSettings&) {};
    const auto favorServer = [](LauncherSettings& s) { s.jvmType = JvmType::FavorServer; };
    const std::u16string jdk11 = u"C:\\jdk11\\bin\\server\\jvm.dll", jre17 = u"C:\\jre17\\bin\\client\\jvm.dll";
    const std::u16string sun11 = u"C:\\sun11\\bin\\server\\jvm.dll", rock17 = u"C:\\rock17\\bin\\jrockit\\jvm.dll",
                         ibm21 = u"C:\\ibm21\\bin\\server\\jvm.dll";
    const FakeMachine sunMix = FakeMachine()
                                   .Runtime(Jdk, u"11.0.2", u"C:\\jdk11", {u"server"})
                                   .Runtime(Jre, u"17.0.1", u"C:\\jre17", {u"client"})
                                   .Runtime(Jdk, u"1.8.0_151", u"C:\\jdk8", {u"server"});
    const FakeMachine providers = FakeMachine()
                                      .Runtime(Jre, u"11", u"C:\\sun11", {u"server"})
                                      .Runtime(JRockitJre, u"17", u"C:\\rock17", {u"jrockit"})
                                      .Runtime(Ibm, u"21", u"C:\\ibm21", {u"server"});
    const std::vector<SearchCase> cases = {
        {"the highest version wins", sunMix, none, jre17},
        {"bounds are inclusive", sunMix,
         [](auto& s) { s.maximumVersion = VersionNumber::ParseBound(u"11", VersionNumber::Bound::Maximum); }, jdk11},
        {"an empty maximum admits nothing", sunMix, [](auto& s) { s.maximumVersion = {}; }, u""},
        {"favor_JRE ranks the JRE first", sunMix, [](auto& s) { s.wantJdk = false; }, jre17},
        {"favor_JDK ranks the JDK first", sunMix, [](auto& s) { s.wantJre = false; }, jdk11},
        {"only_JDK searches no JRE key", FakeMachine(sunMix).Runtime(Jre, u"21", u"C:\\jre21", {u"server"}),
         [](auto& s) { s.wantJre = false, s.acceptBothKinds = false; }, jdk11},
        {"only_JDK takes no JRE of any provider, even as the only runtimes",
         FakeMachine()
             .Runtime(Jre, u"21", u"C:\\jre21", {u"server"})
             .Runtime(JRockitJre, u"17", u"C:\\rock17", {u"jrockit"})
             .Runtime(Ibm, u"11", u"C:\\ibm11", {u"server"}),
         [](auto& s) { Provider(true, true, true, false, false, false)(s), s.wantJre = s.acceptBothKinds = false; },
         u""},
        {"an unknown JVM Source searches no key", sunMix,
         [](auto& s) { s.wantJdk = s.wantJre = s.acceptBothKinds = false; }, u""},
        {"the default provider is Sun alone", providers, none, sun11},
        {"jrockit", providers, Provider(true, false, false, true, false, false), rock17},
        {"ibm", providers, Provider(false, false, true, false, false, true), ibm21},
        {"favor_sun", providers, Provider(true, true, true, false, true, false), sun11},
        {"favor_jrockit", providers, Provider(true, true, true, true, false, false), rock17},
        {"favor_ibm", providers, Provider(true, true, true, false, false, true), ibm21},
        {"any favours none: the highest wins", providers, Provider(true, true, true, false, false, false), ibm21},
        {"server skips a client-only runtime", sunMix, [](auto& s) { s.jvmType = JvmType::Server; }, jdk11},
        {"favor_server ranks server VMs before higher versions", sunMix, favorServer, jdk11},
        {"key 4 probes favor_server loosely, the final probe does not",
         FakeMachine()
             .Runtime(RuntimeEnv, u"17", u"C:\\jre17", {u"client", u"server"})
             .Runtime(Jdk, u"11", u"C:\\jdk11", {u"server"}),
         favorServer, jdk11},
        {"key 4's runtime still gets its server VM when chosen",
         FakeMachine().Runtime(RuntimeEnv, u"17", u"C:\\jre17", {u"client", u"server"}), favorServer,
         u"C:\\jre17\\bin\\server\\jvm.dll"},
        {"a Java Development Kit key means its jre folder",
         FakeMachine().Runtime(DevKit, u"1.6.0_45", u"C:\\jdk6", {u"client"}), none,
         u"C:\\jdk6\\jre\\bin\\client\\jvm.dll"},
        {"a preferred version beats a higher one", sunMix,
         [](auto& s) { s.preferredVersions = {u"9", u"1.8"}; }, u"C:\\jdk8\\bin\\server\\jvm.dll"},
        {"an empty preferred entry takes the first ranked", sunMix,
         [](auto& s) { s.preferredVersions = {u"", u"1.8"}; }, jre17},
        {"a zero preferred entry takes the first ranked", sunMix,
         [](auto& s) { s.preferredVersions = {u"0.0", u"1.8"}; }, jre17},
        {"broken entries are passed over",
         FakeMachine()
             .Runtime(Jdk, u"no digits", u"C:\\nodigits", {u"server"})
             .Runtime(Jdk, u"2147483648", u"C:\\overflow", {u"server"})
             .Runtime(Jdk, u"21", u"", {u"server"})
             .Runtime(Jdk, u"22", u"C:\\missing", {})
             .Runtime(Jdk, std::u16string(255, u'9'), u"C:\\long", {u"server"})
             .Runtime(Jdk, u"11", u"C:\\jdk11", {u"server"}),
         [](auto& s) { s.minimumVersion = VersionNumber(1, 0, 0, 0); }, jdk11},
        {"the 32-bit view is not searched without a pair product",
         FakeMachine().Runtime(Jdk, u"11", u"C:\\jdk-x86", {u"client"}, RegistryView::Bits32), none, u""},
        {"the 32-bit view serves a pair product",
         FakeMachine().Runtime(Jdk, u"11", u"C:\\jdk-x86", {u"client"}, RegistryView::Bits32),
         [](auto& s) { s.pairProduct = u"C:\\Shop32.exe"; }, u"C:\\jdk-x86\\bin\\client\\jvm.dll"},
        {"JRE Path comes first, whatever its version", FakeMachine(sunMix).File(u"D:\\picked\\bin\\hotspot\\jvm.dll"),
         [](auto& s) { s.jrePath = u"D:\\picked"; }, u"D:\\picked\\bin\\hotspot\\jvm.dll"},
        {"a JRE Path without a VM library is passed over", sunMix, [](auto& s) { s.jrePath = u"D:\\empty\\"; }, jre17},
        {"a runtime beside the executable comes before the registry",
         FakeMachine(sunMix).File(u"C:\\App\\bin\\java.dll").File(u"C:\\App\\bin\\server\\jvm.dll"),
         none, u"C:\\App\\bin\\server\\jvm.dll"},
        {"its jre64 folder serves when it has no runtime itself",
         FakeMachine(sunMix).File(u"C:\\App\\jre64\\bin\\java.dll").File(u"C:\\App\\jre64\\bin\\client\\jvm.dll"),
         none, u"C:\\App\\jre64\\bin\\client\\jvm.dll"},
    };
    ExpectChoices(cases);
}

TEST(RuntimeSearch, ExtendedSearchJudgesEachHomeByItsOwnFiles)
{
    const auto on = [](LauncherSettings& s) { s.extendedSearch = true; };
    const std::u16string jdks = u"C:\\Users\\ann\\.jdks";
    const std::u16string jdk11 = u"C:\\jdk11\\bin\\server\\jvm.dll", jdk17 = u"D:\\jdk17\\bin\\server\\jvm.dll";
    // A classic 11 and, elsewhere, a newer 17 that only the extended search finds.
    const FakeMachine base = FakeMachine()
                                 .Runtime(Jdk, u"11.0.22", u"C:\\jdk11", {u"server"})
                                 .Home(u"C:\\jdk11", "JAVA_VERSION=\"11.0.22\"")
                                 .Environment(u"JAVA_HOME", u"D:\\jdk17\\")
                                 .Home(u"D:\\jdk17", "JAVA_VERSION=\"17.0.2\"");
    const FakeMachine openJ9 = FakeMachine(base).Home(u"D:\\jdk17", "JAVA_VERSION=\"17.0.2\"\nJVM_VARIANT=\"Openj9\"");
    const FakeMachine x86 = FakeMachine().Environment(u"JAVA_HOME", u"D:\\x86").Home(u"D:\\x86", "JAVA_VERSION=\"17\"",
                                                                                     true, u"bin\\client", true);
    const std::vector<SearchCase> cases = {
        {"off: JAVA_HOME is ignored", base, [](auto&) {}, jdk11},
        {"on: JAVA_HOME's newer runtime", base, on, jdk17},
        {"an IDE's download folder", FakeMachine(base).Folder(jdks, {u"temurin-21"}).Home(jdks + u"\\temurin-21",
                                                                                          "JAVA_VERSION=\"21\""),
         on, jdks + u"\\temurin-21\\bin\\server\\jvm.dll"},
        {"an OpenJ9 build is IBM's, refused by default", openJ9, on, jdk11},
        {"an OpenJ9 build for VM Provider=ibm", openJ9,
         [](auto& s) { s.extendedSearch = true, Provider(false, false, true, false, false, true)(s); }, jdk17},
        {"a JDK for only_JRE is refused", base,
         [](auto& s) { s.extendedSearch = true, s.wantJdk = s.acceptBothKinds = false; }, u""},
        {"server refuses a client-only home",
         FakeMachine().Environment(u"JAVA_HOME", u"D:\\jdk17").Home(u"D:\\jdk17", "JAVA_VERSION=\"17\"", true,
                                                                      u"bin\\client"),
         [](auto& s) { s.extendedSearch = true, s.jvmType = JvmType::Server; }, u""},
        {"no release, no version: refused",
         FakeMachine().Environment(u"JAVA_HOME", u"D:\\bare").File(u"D:\\bare\\bin\\server\\jvm.dll"), on, u""},
        {"a 32-bit home serves only a pair product, after every 64-bit one", x86,
         [](auto& s) { s.extendedSearch = true, s.pairProduct = u"C:\\Shop32.exe"; }, u"D:\\x86\\bin\\client\\jvm.dll"},
        {"without a pair product a 32-bit home is refused", x86, on, u""},
    };
    ExpectChoices(cases);
}

TEST(RuntimeSearch, TellsWhereTheChoiceCameFrom)
{
    const FakeMachine machine = FakeMachine()
                                    .Runtime(Jdk, u"11.0.2", u"C:\\jdk32", {u"server"}, RegistryView::Bits32)
                                    .File(u"D:\\jre\\bin\\client\\jvm.dll");
    LauncherSettings settings = Defaults();
    settings.pairProduct = u"C:\\Shop32.exe";
    auto choice = SearchRuntime(settings, u"", machine, os::PathStyle::Windows);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->version, VersionNumber(11, 0, 2, 0));

    settings.jrePath = u"D:\\jre";
    choice = SearchRuntime(settings, u"", machine, os::PathStyle::Windows);
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->fromJrePath);
    EXPECT_FALSE(choice->from32BitView);
    EXPECT_FALSE(choice->version);
}

TEST(RuntimeSearch, EqualCandidatesKeepTheirOrderOfDiscovery)
{
    const auto runtime = [](VersionNumber version, const char16_t* home, bool server) {
        JavaRuntime made;
        made.version = version;
        made.homeFolder = home;
        made.hasServerVm = server;
        return made;
    };
    std::vector<JavaRuntime> candidates{runtime({11, 0, 0, 0}, u"first", false),
                                        runtime({17, 0, 0, 0}, u"server", true),
                                        runtime({11, 0, 0, 0}, u"second", false)};
    LauncherSettings settings = Defaults();
    SortCandidates(candidates, settings);
    EXPECT_EQ(candidates[0].homeFolder, u"server");
    EXPECT_EQ(candidates[1].homeFolder, u"first");
    EXPECT_EQ(candidates[2].homeFolder, u"second");
    EXPECT_EQ(ChooseCandidate(candidates, {u"11"}).homeFolder, u"first");
}

} // namespace
} // namespace tala
