// Two real tala.exe processes of a single-instance application under Wine: a
// later start finds the first instance's named block, leaves its arguments
// there, posts the registered message to the first instance's listener
// thread and waits. The first instance here never reaches main: its runtime
// is a 32-bit one, so it runs its "Pair Product" (the test pair program,
// held while a file "hold" lies beside it) and ends with the pair's exit
// code, 42, which the waiting later starts then end with as well.
//
// The test is given the launcher to copy: --launcher=PATH.
#include "instance/InstanceBlock.h"
#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/ProgramsBeside.h"
#include "tests/windows/driver/Driver.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <future>
#include <optional>
#include <thread>

namespace tala::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint32_t kFailed = 0xFFFFFFFF; // -1
constexpr std::uint32_t kPairExitCode = 42;

// What a test reads of the block while the first instance holds it.
struct BlockSeen {
    std::uint32_t listenerThread = 0;
    std::uint32_t processId = 0;
    std::uint32_t handOffMessage = 0;
    StringList arguments;
};

class SingleInstance : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(LauncherPath().empty()) << "no --launcher=PATH given";
        fs::copy_file(LauncherPath(), Exe());
        fs::create_directories(folder.Path() / "jre32" / "bin" / "server");
        fs::copy_file(BesideThisProgram(L"tiny32.dll"), folder.Path() / "jre32" / "bin" / "server" / "jvm.dll");
        fs::copy_file(BesideThisProgram(L"tala-test-pair.exe"), folder.Path() / "Shop32.exe");
        WriteBytes(folder.Path() / "Shop.ini",
                   "[Java Runtime Environment]\r\nMain Class=shop.App\r\nJRE Path=" +
                       (folder.Path() / "jre32").string() + "\r\n[Application]\r\nSingle Instance=yes\r\n" +
                       "Pair Product=" + (folder.Path() / "Shop32.exe").string() + "\r\nPair Return Code=yes\r\n");
        WriteBytes(Hold(), "");
    }

    void TearDown() override
    {
        fs::remove(Hold());
        if (first.valid()) first.wait_for(30s);
    }

    fs::path Exe() const { return folder.Path() / "Shop.exe"; }
    fs::path Hold() const { return folder.Path() / "hold"; }

    std::future<Outcome> Start(const std::wstring& arguments) const
    {
        const std::wstring commandLine = L"\"" + Exe().wstring() + L"\" " + arguments;
        const Target target{commandLine, folder.Path().wstring(), 60s};
        return std::async(std::launch::async, [target] { return RunTarget(target, ClickOnEvery(IDOK)); });
    }

    // Starts the first instance and waits until its listener's id is in the block.
    void StartFirst()
    {
        first = Start(L"first");
        for (auto waited = 0ms; waited < 20s; waited += 50ms) {
            const std::optional<BlockSeen> block = ReadBlock();
            if (block && block->listenerThread != 0) return;
            std::this_thread::sleep_for(50ms);
        }
        FAIL() << "no block named " << std::string(InstanceName().begin(), InstanceName().end());
    }

    std::u16string InstanceName() const { return InstanceNameFor(Exe().u16string()); }

    // The block as it is now; nothing while there is none. The view is let go
    // at once, so the block goes when the launchers let go of it.
    std::optional<BlockSeen> ReadBlock() const
    {
        const os::UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, os::Wide(InstanceName())));
        if (mapping == nullptr) return std::nullopt;
        const os::UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kInstanceBlockSize));
        if (view.get() == nullptr) return std::nullopt;
        std::array<std::byte, kInstanceBlockSize> bytes;
        std::memcpy(bytes.data(), view.get(), bytes.size());
        const InstanceBlock block(bytes);
        return BlockSeen{ReadBlockNumber(block, kListenerThreadOffset), ReadBlockNumber(block, kProcessIdOffset),
                         ReadBlockNumber(block, kHandOffMessageOffset), ReadArgumentBlock(ArgumentsOf(block))};
    }

    TempFolder folder;
    ScopedEnvironmentVariable userSettings{UserSettingsRootVariable(), folder.Child("user")};
    std::future<Outcome> first;
};

void ExpectEnd(std::future<Outcome>& run, std::uint32_t exitCode, const char* rule)
{
    ASSERT_EQ(run.wait_for(40s), std::future_status::ready) << rule;
    const Outcome outcome = run.get();
    EXPECT_TRUE(outcome.started) << rule;
    EXPECT_FALSE(outcome.timedOut) << rule;
    EXPECT_EQ(outcome.exitCode, exitCode) << rule;
    EXPECT_TRUE(outcome.dialogs.empty()) << rule << ": a start of this kind shows nothing";
}

TEST_F(SingleInstance, LaterStartsLeaveTheirArgumentsAndEndWithTheFirstInstancesExitCode)
{
    StartFirst();
    const std::optional<BlockSeen> header = ReadBlock();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->handOffMessage, ::RegisterWindowMessageW(os::Wide(InstanceName())));
    const os::UniqueHandle listener(::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, header->listenerThread));
    ASSERT_TRUE(listener != nullptr);
    EXPECT_EQ(::GetProcessIdOfThread(listener.get()), header->processId) << "the listener runs in the first instance";

    struct Case {
        const char* rule;
        std::wstring arguments;
        std::optional<StringList> handedOver; // none: the start fails at once
    };
    const Case cases[] = {
        {"520 units with their terminators do not fit", std::wstring(300, L'a') + L" " + std::wstring(218, L'b'),
         std::nullopt},
        {"519 do", std::wstring(300, L'a') + L" " + std::wstring(217, L'b'),
         StringList{std::u16string(300, u'a'), std::u16string(217, u'b')}},
        {"words as the command line splits them", L"one \"two words\" Gr\u00fc\u00dfe",
         StringList{u"one", u"two words", u"Gr\u00fc\u00dfe"}},
    };
    std::vector<std::future<Outcome>> waiting;
    for (const Case& c : cases) {
        const StringList before = ReadBlock()->arguments;
        std::future<Outcome> later = Start(c.arguments);
        if (!c.handedOver) {
            ExpectEnd(later, kFailed, c.rule);
            EXPECT_EQ(ReadBlock()->arguments, before) << c.rule << ": the block is left as it was";
            continue;
        }
        StringList seen;
        for (auto waited = 0ms; seen != *c.handedOver && waited < 20s; waited += 50ms) {
            std::this_thread::sleep_for(50ms);
            seen = ReadBlock()->arguments;
        }
        EXPECT_EQ(seen, *c.handedOver) << c.rule;
        EXPECT_EQ(later.wait_for(1s), std::future_status::timeout) << c.rule << ": it waits for the first instance";
        waiting.push_back(std::move(later));
    }

    fs::remove(Hold());
    ExpectEnd(first, kPairExitCode, "the first instance");
    for (std::future<Outcome>& later : waiting) ExpectEnd(later, kPairExitCode, "a later start");
}

TEST_F(SingleInstance, OnceTheFirstInstanceHasEndedTheNextStartIsAFirstInstance)
{
    StartFirst();
    fs::remove(Hold());
    ExpectEnd(first, kPairExitCode, "the first instance");
    // A later start of a gone instance would fail with -1; a first instance
    // runs the pair with its own command line.
    std::future<Outcome> next = Start(L"again");
    ExpectEnd(next, kPairExitCode, "the next start");
    const std::string recorded = ReadBytes(folder.Path() / "pair-command-line.txt");
    const std::wstring commandLine(reinterpret_cast<const wchar_t*>(recorded.data()), recorded.size() / 2);
    EXPECT_NE(commandLine.find(L"again"), std::wstring::npos) << std::string(recorded.begin(), recorded.end());
}

} // namespace
} // namespace tala::test
