// Single-instance applications on Debian's OpenJDK: later starts hand their arguments to the
// first instance's secondaryMain (the probe records each call in a file).
#include "instance/HandOff.h"
#include "instance/InstanceBlock.h"
#include "os/SharedMemory.h"
#include "os/Utf8.h"
#include "os/posix/FileDescriptor.h"
#include "os/posix/PrivateFolder.h"
#include "os/ThreadMessages.h"
#include "tests/jvm/AppFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <set>
#include <sys/socket.h>
#include <sys/un.h>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every wait of these tests ends: a start takes well under a second.
constexpr auto kPatience = 30s;
// Exit statuses as the system reports them: -1 is 255.
constexpr int kFailed = 255;

std::string InstanceSettings(const std::string& mainClass, const std::string& application = "Single Instance=yes")
{
    return ProbeSettings(mainClass, "", "[Application]\n" + application);
}

class SingleInstance : public testing::Test {
protected:
    bool Appears(const std::string& name)
    {
        return WaitUntil([&] { return fs::exists(app.Path() / name); }, kPatience);
    }

    // A start whose main has begun (it says so in a file named after its process).
    std::unique_ptr<Program> StartFirst(const std::vector<std::string>& arguments = {})
    {
        auto first = app.Start(arguments);
        EXPECT_TRUE(Appears("main-started-" + std::to_string(first->Pid()))) << first->Errors();
        return first;
    }

    // The arguments of the numbered call of secondaryMain, once it has been made.
    std::string Call(int number)
    {
        const std::string file = "secondary-" + std::to_string(number) + ".txt";
        return Appears(file) ? ReadBytes(app.Path() / file) : "<no call>";
    }

    std::unique_ptr<Program> StartLater(const std::vector<std::string>& arguments, bool withoutPidfd = false)
    {
        if (!withoutPidfd) return app.Start(arguments);
        std::vector<std::string> argv{TALA_WITHOUT_PIDFD_PATH, app.Launcher().string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return std::make_unique<Program>(argv, app.Path());
    }

    void Release(Program& first)
    {
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(first.Wait(kPatience), 0);
        EXPECT_EQ(first.Errors(), "");
    }

    AppFolder app;
};

TEST_F(SingleInstance, SecondaryMainReceivesTheArgumentsOfEachLaterStartAlsoOfOneMadeBeforeMain)
{
    // received: by secondaryMain; none: no call
    struct Case { const char* rule; std::vector<std::string> arguments; int exitCode;
        std::optional<std::string> received; };
    const std::string a300(300, 'a');
    const Case cases[] = {
        {"words arrive exactly, whatever their characters",
         {"plain", "two words", "Gr\xC3\xBC\xC3\x9F" "e", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80", "-nosplash"},
         0,
         UnitsInHex({u"plain", u"two words", u"Gr\u00fc\u00dfe", u"\u65e5\u672c", u"\U0001F600", u"-nosplash"})},
        {"no arguments arrive as one empty argument", {}, 0, UnitsInHex({u""})},
        {"an empty argument ends the list", {"a", "", "b"}, 0, UnitsInHex({u"a"})},
        {"519 code units with one terminator each fit", {a300, std::string(217, 'b')}, 0,
         UnitsInHex({std::u16string(300, u'a'), std::u16string(217, u'b')})},
        {"one more does not, and the start fails", {a300, std::string(218, 'b')}, kFailed, std::nullopt},
        // The probe's secondaryMain stays in this call until "finish-secondary" appears.
        {"a void secondaryMain answers as its call begins", {"hold"}, 0, UnitsInHex({u"hold"})},
    };
    app.WriteSettings(InstanceSettings("probe.Instance"));
    // The probe's class initialisation waits for "go" before main while
    // "late" exists: a later start made meanwhile waits for main.
    WriteBytes(app.Path() / "late", "");
    auto first = app.Start({});
    ASSERT_TRUE(Appears("initialising")) << first->Errors();
    auto early = app.Start({"early"});
    EXPECT_FALSE(early->Wait(1s)) << "answered before main";
    EXPECT_FALSE(fs::exists(app.Path() / "secondary-1.txt"));
    WriteBytes(app.Path() / "go", "");
    EXPECT_EQ(early->Wait(kPatience), 0);
    EXPECT_EQ(Call(1), UnitsInHex({u"early"}));
    int calls = 1;
    for (const Case& c : cases) {
        const auto second = app.Start(c.arguments);
        EXPECT_EQ(second->Wait(kPatience), c.exitCode) << c.rule;
        EXPECT_EQ(second->Errors(), "") << c.rule << ": nothing is shown";
        EXPECT_EQ(c.received ? Call(++calls) : "", c.received.value_or("")) << c.rule;
    }
    EXPECT_FALSE(fs::exists(app.Path() / ("secondary-" + std::to_string(calls + 1) + ".txt")));
    WriteBytes(app.Path() / "finish-secondary", "");
    Release(*first);
}

TEST_F(SingleInstance, AnIntSecondaryMainsResultIsTheExitCode)
{
    struct Case { std::string argument; int exitCode; bool withoutPidfd; };
    const Case cases[] = {{"7", 7, false}, {"-2", 254, false}, {"0", 0, false}, {"word", 42, false}, {"9", 9, true}};
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    auto first = StartFirst();
    for (const Case& c : cases) {
        EXPECT_EQ(StartLater({c.argument}, c.withoutPidfd)->Wait(kPatience), c.exitCode) << c.argument;
    }
    Release(*first);
}

TEST_F(SingleInstance, WithoutSecondaryMainALaterStartEndsWithTheFirstInstancesExitCode)
{
    struct Case { const char* ending; std::vector<std::string> firstArguments; bool kill; int exitCode;
        bool withoutPidfd = false; };
    const Case cases[] = {
        {"System.exit(23)", {"23"}, false, 23},
        {"main returns", {}, false, 0},
        // Only the parent is told the status of a killed process.
        {"killed", {}, true, kFailed},
        {"System.exit(24), watched where pidfd_open is refused", {"24"}, false, 24, true},
        {"killed, watched where pidfd_open is refused", {}, true, kFailed, true},
    };
    app.WriteSettings(InstanceSettings("probe.InstanceNone"));
    for (const Case& c : cases) {
        auto first = StartFirst(c.firstArguments);
        auto second = StartLater({"waits"}, c.withoutPidfd);
        EXPECT_FALSE(second->Wait(1s)) << c.ending << ": the later start did not wait";
        if (c.kill) {
            first->Kill();
        } else {
            WriteBytes(app.Path() / "release", "");
        }
        EXPECT_EQ(second->Wait(kPatience), c.exitCode) << c.ending;
        EXPECT_NE(first->Errors().find("java.lang.NoSuchMethodError: secondaryMain"), std::string::npos)
            << c.ending << ": " << first->Errors();
        fs::remove(app.Path() / "release");
    }
    // The killed instance left its block behind: the next start is still a first instance.
    Release(*StartFirst());
}

TEST_F(SingleInstance, OnlyTheSameExecutableWithAnExactYesHandsOff)
{
    struct Case { const char* rule; std::string application; std::string secondLauncher; bool handsOff; };
    const Case cases[] = {
        {"exact yes", "Single Instance=yes", "shop", true},
        {"Yes is not yes", "Single Instance=Yes", "shop", false},
        {"a service is never one", "Single Instance=yes\nApplication Type=service", "shop", false},
        {"a path differing only in letter case is another executable", "Single Instance=yes", "Shop", false},
    };
    fs::copy_file(app.Launcher(), app.Path() / "Shop");
    for (const Case& c : cases) {
        for (const char* name : {"shop.ini", "Shop.ini"}) {
            WriteBytes(app.Path() / name, InstanceSettings("probe.Instance", c.application));
        }
        auto first = StartFirst();
        Program second({(app.Path() / c.secondLauncher).string(), "later"}, app.Path());
        EXPECT_TRUE(Appears(c.handsOff ? "secondary-1.txt" : "main-started-" + std::to_string(second.Pid()))) << c.rule;
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(second.Wait(kPatience), 0) << c.rule;
        EXPECT_EQ(first->Wait(kPatience), 0) << c.rule;
        for (const fs::path& file : {app.Path() / "release", app.Path() / "secondary-1.txt"}) fs::remove(file);
    }
}

TEST_F(SingleInstance, FiftyLaterStartsAtOnceEachDeliverTheirOwnArgumentsOnce)
{
    constexpr int kStarts = 50;
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    auto first = StartFirst();
    std::vector<std::unique_ptr<Program>> seconds;
    std::multiset<std::string> sent;
    for (int i = 0; i < kStarts; ++i) {
        const std::string word = "start-" + std::to_string(i), file = "file " + std::to_string(i);
        seconds.push_back(app.Start({word, file}));
        sent.insert(UnitsInHex({std::u16string(word.begin(), word.end()), std::u16string(file.begin(), file.end())}));
    }
    const auto giveUp = std::chrono::steady_clock::now() + 120s;
    for (auto& second : seconds) {
        const auto left = giveUp - std::chrono::steady_clock::now();
        EXPECT_EQ(second->Wait(std::chrono::duration_cast<std::chrono::milliseconds>(left)), 42) << second->Errors();
    }
    std::multiset<std::string> received;
    for (int call = 1; call <= kStarts; ++call) received.insert(Call(call));
    EXPECT_TRUE(received == sent) << "each start's arguments arrive once, none lost, none twice; "
                                  << std::set<std::string>(received.begin(), received.end()).size()
                                  << " distinct lists arrived";
    EXPECT_FALSE(first->Wait(0ms)) << "the first instance ended";
    Release(*first);
}

TEST_F(SingleInstance, ALaterStartWhileTheVmIsDestroyedWaitsForTheEndInsteadOfAttaching)
{
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    // main returns at once; a thread of the application holds the VM's
    // destruction up until "release".
    auto first = StartFirst({"linger"});
    ASSERT_TRUE(Appears("destroying")) << first->Errors();
    auto second = app.Start({"7"});
    EXPECT_FALSE(second->Wait(1s)) << "answered by a VM on its way out";
    Release(*first);
    EXPECT_EQ(second->Wait(kPatience), 0) << "the first instance's exit code";
    EXPECT_FALSE(fs::exists(app.Path() / "secondary-1.txt"));
}

TEST_F(SingleInstance, ABlockFilledWithOtherBytesDoesNotBringTheFirstInstanceDown)
{
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    auto first = StartFirst();
    const auto memory = os::SharedMemory::Open(InstanceNameFor(fs::canonical(app.Launcher()).u16string()),
                                               kInstanceBlockSize);
    ASSERT_TRUE(memory);
    ASSERT_FALSE(memory->IsOwner());
    const InstanceBlock block = memory->Bytes().first<kInstanceBlockSize>();
    const std::uint32_t listener = ReadBlockNumber(block, kListenerThreadOffset);
    const std::uint32_t handOff = ReadBlockNumber(block, kHandOffMessageOffset);
    std::fill(block.begin(), block.end(), std::byte{0xFF});

    // A hand-off over such a block: the argument block holds no end.
    os::MessageQueue replies;
    ASSERT_TRUE(os::PostThreadMessageTo(listener, {handOff, os::CurrentThreadId(), 0}));
    std::optional<os::ThreadMessage> reply;
    const auto answered = [&] {
        reply = replies.Take();
        return reply && reply->lParam != kArgumentsTaken;
    };
    ASSERT_TRUE(WaitUntil(answered, kPatience));
    EXPECT_EQ(reply->wParam, 42u);
    EXPECT_EQ(Call(1), UnitsInHex({std::u16string(kArgumentBlockSize / 2, u'\uFFFF')}));

    // A later start finds no listener in it.
    EXPECT_EQ(app.Start({"later"})->Wait(kPatience), kFailed);
    Release(*first);
}

// Another user's datagram socket, bound where the header it planted names the listener (an
// abstract name when the path starts with "@"); none if it cannot be bound.
os::FileDescriptor PlantedSocket(const std::string& path)
{
    os::FileDescriptor socket(::socket(AF_UNIX, SOCK_DGRAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (path[0] == '@') address.sun_path[0] = '\0';
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (path[0] != '@'));
    const bool bound = ::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
    return bound ? std::move(socket) : os::FileDescriptor();
}

// Another user made every object a start would use first, naming a live listener of its own
// that holds its block: the start runs its own main and leaves those objects as they were.
TEST_F(SingleInstance, ObjectsAnotherUserMadeFirstAreNeverUsed)
{
    constexpr uid_t kOther = 65534;
    // namesUsedBefore: a shared-memory object and an abstract socket
    struct Case { const char* rule; bool namesUsedBefore; mode_t folderMode; uid_t folderOwner; };
    const Case cases[] = {
        {"a folder another user made", false, 0700, kOther},
        {"the user's own folder, open to others", false, 0777, 0},
        {"a block another user left in the user's own folder", false, 0700, 0},
        {"the shared-memory name and abstract socket of earlier launchers", true, 0700, 0},
    };
    ASSERT_EQ(::geteuid(), 0u) << "acting as another user needs root";
    TempFolder runtime;
    fs::permissions(runtime.Path(), fs::perms::all | fs::perms::sticky_bit);
    const ScopedEnvironmentVariable runtimeDir(u"XDG_RUNTIME_DIR", runtime.Path().u16string());
    const fs::path folder = runtime.Path() / "tala";
    const std::u16string instanceName = InstanceNameFor(fs::canonical(app.Launcher()).u16string());
    app.WriteSettings(InstanceSettings("probe.InstanceInt"));
    std::uint32_t listener = 4190000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ++listener;
        std::string header(kInstanceBlockSize + 8, '\0');
        const InstanceBlock block(reinterpret_cast<std::byte*>(header.data()), kInstanceBlockSize);
        WriteBlockNumber(block, kListenerThreadOffset, listener);
        WriteBlockNumber(block, kProcessIdOffset, static_cast<std::uint32_t>(::getpid()));
        WriteBlockNumber(block, kHandOffMessageOffset, os::RegisterThreadMessage(instanceName));

        fs::path blockPath = "/dev/shm/tala.0." + os::ToUtf8(instanceName);
        std::string socketPath = "@tala.thread." + std::to_string(listener);
        if (!c.namesUsedBefore) {
            fs::create_directory(folder);
            ASSERT_EQ(::chmod(folder.c_str(), c.folderMode) | ::chown(folder.c_str(), c.folderOwner, c.folderOwner), 0);
            blockPath = folder / os::PrivateFileName("block." + os::ToUtf8(instanceName));
            socketPath = (folder / ("thread." + std::to_string(listener))).string();
        }
        WriteBytes(blockPath, header);
        ASSERT_EQ(::chmod(blockPath.c_str(), 0666) | ::chown(blockPath.c_str(), kOther, kOther), 0);
        // The other user's first instance holds its block as long as it runs.
        const os::FileDescriptor holder(::open(blockPath.c_str(), O_RDWR));
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_len = 1;
        ASSERT_EQ(::fcntl(holder.Get(), F_OFD_SETLK, &lock), 0);
        const os::FileDescriptor socket = PlantedSocket(socketPath);
        ASSERT_TRUE(socket.IsValid());

        auto start = app.Start({"5", "secret-token"});
        EXPECT_TRUE(Appears("main-started-" + std::to_string(start->Pid()))) << start->Errors();
        char byte;
        EXPECT_LT(::recv(socket.Get(), &byte, 1, MSG_DONTWAIT), 0) << "the start wrote to the other user's socket";
        EXPECT_TRUE(ReadBytes(blockPath) == header) << "the start wrote into the other user's block";
        WriteBytes(app.Path() / "release", "");
        EXPECT_EQ(start->Wait(kPatience), 5) << "main ran with the start's own arguments";
        fs::remove(app.Path() / "release");
        fs::remove(blockPath);
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace tala::test
