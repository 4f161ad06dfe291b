// The runtime search on made-up machines: which runtime each combination of
// settings chooses, from "JRE Path", beside the executable and the registry.
#include "runtime/FindRuntime.h"
#include "runtime/RegistrySearch.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace tala {
namespace {

using os::RegistryView;

// A Windows machine with files and registry keys, nothing else.
class FakeMachine : public RuntimeMachine {
public:
    // Registers a runtime under a key of the table with the given VM kinds.
    FakeMachine& Runtime(std::size_t key, const std::u16string& name, const std::u16string& home,
                         std::initializer_list<const char16_t*> vmKinds,
                         RegistryView view = RegistryView::Default)
    {
        const std::u16string keyPath(kRuntimeKeys[key].path);
        keys_[{view, keyPath}].push_back(name);
        homes_[{view, keyPath + name}] = home;
        const std::u16string inner = kRuntimeKeys[key].homeHoldsInnerJre ? u"\\jre" : u"";
        for (const char16_t* kind : vmKinds) File(home + inner + u"\\bin\\" + kind + u"\\jvm.dll");
        return *this;
    }
    FakeMachine& File(const std::u16string& path)
    {
        files_.insert(path);
        return *this;
    }

    bool PathExists(const std::u16string& path) const override { return files_.count(path) != 0; }
    std::optional<std::vector<std::u16string>> SubKeyNames(const std::u16string& keyPath,
                                                           RegistryView view) const override
    {
        const auto found = keys_.find({view, keyPath});
        if (found == keys_.end()) return std::nullopt;
        return found->second;
    }
    std::optional<std::u16string> JavaHome(const std::u16string& subKeyPath,
                                           RegistryView view) const override
    {
        const auto found = homes_.find({view, subKeyPath});
        if (found == homes_.end()) return std::nullopt;
        return found->second;
    }

private:
    std::set<std::u16string> files_;
    std::map<std::pair<RegistryView, std::u16string>, std::vector<std::u16string>> keys_;
    std::map<std::pair<RegistryView, std::u16string>, std::u16string> homes_;
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

void Provider(LauncherSettings& s, bool aJ, bool aS, bool aI, bool fJ, bool fS, bool fI)
{
    s.allowJRockit = aJ, s.allowSun = aS, s.allowIbm = aI;
    s.favorJRockit = fJ, s.favorSun = fS, s.favorIbm = fI;
}

TEST(RuntimeSearch, ChoosesAsTheSettingsRank)
{
    const auto none = [](LauncherSettings&) {};
    const FakeMachine sunMix = FakeMachine()
                                   .Runtime(Jdk, u"11.0.2", u"C:\\jdk11", {u"server"})
                                   .Runtime(Jre, u"17.0.1", u"C:\\jre17", {u"client"})
                                   .Runtime(Jdk, u"1.8.0_151", u"C:\\jdk8", {u"server"});
    const FakeMachine providers = FakeMachine()
                                      .Runtime(Jre, u"11", u"C:\\sun11", {u"server"})
                                      .Runtime(JRockitJre, u"17", u"C:\\rock17", {u"jrockit"})
                                      .Runtime(Ibm, u"21", u"C:\\ibm21", {u"server"});
    const std::vector<SearchCase> cases = {
        {"the highest version wins", sunMix, none, u"C:\\jre17\\bin\\client\\jvm.dll"},
        {"bounds are inclusive", sunMix,
         [](auto& s) { s.maximumVersion = VersionNumber::ParseBound(u"11", VersionNumber::Bound::Maximum); },
         u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"an empty maximum admits nothing", sunMix, [](auto& s) { s.maximumVersion = {}; }, u""},
        {"favor_JRE ranks the JRE first", sunMix, [](auto& s) { s.wantJdk = false; },
         u"C:\\jre17\\bin\\client\\jvm.dll"},
        {"favor_JDK ranks the JDK first", sunMix, [](auto& s) { s.wantJre = false; },
         u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"only_JDK searches no JRE key", FakeMachine(sunMix).Runtime(Jre, u"21", u"C:\\jre21", {u"server"}),
         [](auto& s) { s.wantJre = false, s.acceptBothKinds = false; }, u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"only_JDK takes no JRE of any provider, even as the only runtimes",
         FakeMachine()
             .Runtime(Jre, u"21", u"C:\\jre21", {u"server"})
             .Runtime(JRockitJre, u"17", u"C:\\rock17", {u"jrockit"})
             .Runtime(Ibm, u"11", u"C:\\ibm11", {u"server"}),
         [](auto& s) { Provider(s, true, true, true, false, false, false), s.wantJre = s.acceptBothKinds = false; },
         u""},
        {"an unknown JVM Source searches no key", sunMix,
         [](auto& s) { s.wantJdk = s.wantJre = s.acceptBothKinds = false; }, u""},
        {"the default provider is Sun alone", providers, none, u"C:\\sun11\\bin\\server\\jvm.dll"},
        {"jrockit", providers, [](auto& s) { Provider(s, true, false, false, true, false, false); },
         u"C:\\rock17\\bin\\jrockit\\jvm.dll"},
        {"ibm", providers, [](auto& s) { Provider(s, false, false, true, false, false, true); },
         u"C:\\ibm21\\bin\\server\\jvm.dll"},
        {"favor_sun", providers, [](auto& s) { Provider(s, true, true, true, false, true, false); },
         u"C:\\sun11\\bin\\server\\jvm.dll"},
        {"favor_jrockit", providers, [](auto& s) { Provider(s, true, true, true, true, false, false); },
         u"C:\\rock17\\bin\\jrockit\\jvm.dll"},
        {"favor_ibm", providers, [](auto& s) { Provider(s, true, true, true, false, false, true); },
         u"C:\\ibm21\\bin\\server\\jvm.dll"},
        {"any favours none: the highest wins", providers,
         [](auto& s) { Provider(s, true, true, true, false, false, false); }, u"C:\\ibm21\\bin\\server\\jvm.dll"},
        {"server skips a client-only runtime", sunMix, [](auto& s) { s.jvmType = JvmType::Server; },
         u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"favor_server ranks server VMs before higher versions", sunMix,
         [](auto& s) { s.jvmType = JvmType::FavorServer; }, u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"key 4 probes favor_server loosely, the final probe does not",
         FakeMachine()
             .Runtime(RuntimeEnv, u"17", u"C:\\jre17", {u"client", u"server"})
             .Runtime(Jdk, u"11", u"C:\\jdk11", {u"server"}),
         [](auto& s) { s.jvmType = JvmType::FavorServer; }, u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"key 4's runtime still gets its server VM when chosen",
         FakeMachine().Runtime(RuntimeEnv, u"17", u"C:\\jre17", {u"client", u"server"}),
         [](auto& s) { s.jvmType = JvmType::FavorServer; }, u"C:\\jre17\\bin\\server\\jvm.dll"},
        {"a Java Development Kit key means its jre folder",
         FakeMachine().Runtime(DevKit, u"1.6.0_45", u"C:\\jdk6", {u"client"}), none,
         u"C:\\jdk6\\jre\\bin\\client\\jvm.dll"},
        {"a preferred version beats a higher one", sunMix,
         [](auto& s) { s.preferredVersions = {u"9", u"1.8"}; }, u"C:\\jdk8\\bin\\server\\jvm.dll"},
        {"an empty preferred entry takes the first ranked", sunMix,
         [](auto& s) { s.preferredVersions = {u"", u"1.8"}; }, u"C:\\jre17\\bin\\client\\jvm.dll"},
        {"a zero preferred entry takes the first ranked", sunMix,
         [](auto& s) { s.preferredVersions = {u"0.0", u"1.8"}; }, u"C:\\jre17\\bin\\client\\jvm.dll"},
        {"broken entries are passed over",
         FakeMachine()
             .Runtime(Jdk, u"no digits", u"C:\\nodigits", {u"server"})
             .Runtime(Jdk, u"2147483648", u"C:\\overflow", {u"server"})
             .Runtime(Jdk, u"21", u"", {u"server"})
             .Runtime(Jdk, u"22", u"C:\\missing", {})
             .Runtime(Jdk, std::u16string(255, u'9'), u"C:\\long", {u"server"})
             .Runtime(Jdk, u"11", u"C:\\jdk11", {u"server"}),
         [](auto& s) { s.minimumVersion = VersionNumber(1, 0, 0, 0); }, u"C:\\jdk11\\bin\\server\\jvm.dll"},
        {"the 32-bit view is not searched without a pair product",
         FakeMachine().Runtime(Jdk, u"11", u"C:\\jdk32", {u"client"}, RegistryView::Bits32), none, u""},
        {"the 32-bit view serves a pair product",
         FakeMachine().Runtime(Jdk, u"11", u"C:\\jdk32", {u"client"}, RegistryView::Bits32),
         [](auto& s) { s.pairProduct = u"C:\\Shop32.exe"; }, u"C:\\jdk32\\bin\\client\\jvm.dll"},
        {"JRE Path comes first, whatever its version",
         FakeMachine(sunMix).File(u"D:\\picked\\bin\\hotspot\\jvm.dll"),
         [](auto& s) { s.jrePath = u"D:\\picked"; }, u"D:\\picked\\bin\\hotspot\\jvm.dll"},
        {"a JRE Path without a VM library is passed over", sunMix,
         [](auto& s) { s.jrePath = u"D:\\empty\\"; }, u"C:\\jre17\\bin\\client\\jvm.dll"},
        {"a runtime beside the executable comes before the registry",
         FakeMachine(sunMix).File(u"C:\\App\\bin\\java.dll").File(u"C:\\App\\bin\\server\\jvm.dll"),
         none, u"C:\\App\\bin\\server\\jvm.dll"},
        {"its jre64 folder serves when it has no runtime itself",
         FakeMachine(sunMix).File(u"C:\\App\\jre64\\bin\\java.dll").File(u"C:\\App\\jre64\\bin\\client\\jvm.dll"),
         none, u"C:\\App\\jre64\\bin\\client\\jvm.dll"},
    };
    for (const SearchCase& c : cases) {
        LauncherSettings settings = Defaults();
        c.configure(settings);
        const auto choice = SearchRuntime(settings, u"C:\\App\\Shop.exe", c.machine, os::PathStyle::Windows);
        EXPECT_EQ(choice ? choice->vmLibraryPath : u"", c.expected) << c.rule;
    }
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
    EXPECT_TRUE(choice->from32BitView);
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
    std::vector<JavaRuntime> candidates{{{11, 0, 0, 0}, u"first", false, false},
                                        {{17, 0, 0, 0}, u"server", true, false},
                                        {{11, 0, 0, 0}, u"second", false, false}};
    LauncherSettings settings = Defaults();
    SortCandidates(candidates, settings);
    EXPECT_EQ(candidates[0].homeFolder, u"server");
    EXPECT_EQ(candidates[1].homeFolder, u"first");
    EXPECT_EQ(candidates[2].homeFolder, u"second");
    EXPECT_EQ(ChooseCandidate(candidates, {u"11"}).homeFolder, u"first");
}

} // namespace
} // namespace tala
