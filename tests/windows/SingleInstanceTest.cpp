// Real tala.exe processes of a single-instance application meeting through the named block and thread messages.
#include "instance/InstanceBlock.h"
#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"
#include "tests/windows/ShopFolder.h"
#include "tests/windows/WaitUntil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kPairExitCode = 42;
constexpr std::uint32_t kSecondaryResult = 7;

void ExpectEnd(std::future<Outcome>& run, std::uint32_t exitCode, const std::string& rule)
{
    ASSERT_EQ(run.wait_for(40s), std::future_status::ready) << rule << ": it did not end";
    const Outcome end = run.get();
    EXPECT_EQ(end.exitCode, exitCode) << rule << Describe(end);
    EXPECT_TRUE(end.dialogs.empty()) << rule << ": a start of this kind shows nothing";
}

// Read through a view let go at once, so the block goes when the launchers let go of it.
struct BlockSeen {
    std::uint32_t listenerThread = 0;
    std::uint32_t processId = 0;
    std::uint32_t handOffMessage = 0;
    StringList arguments;
};

std::optional<BlockSeen> ReadBlock(const std::u16string& name)
{
    const os::UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, os::Wide(name)));
    if (mapping == nullptr) return std::nullopt;
    const os::UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kInstanceBlockSize));
    if (view.get() == nullptr) return std::nullopt;
    std::array<std::byte, kInstanceBlockSize> bytes;
    std::memcpy(bytes.data(), view.get(), bytes.size());
    const InstanceBlock block(bytes);
    return BlockSeen{ReadBlockNumber(block, kListenerThreadOffset), ReadBlockNumber(block, kProcessIdOffset),
                     ReadBlockNumber(block, kHandOffMessageOffset), ReadArgumentBlock(ArgumentsOf(block))};
}

TEST(SingleInstance, LaterStartsLeaveTheirArgumentsAndEndWithTheFirstInstancesExitCode)
{
    const ShopFolder shop(nullptr);
    shop.Write(shop.AddPairProduct(u"yes") + u"Single Instance=yes");
    WriteBytes(shop.Folder() / "hold", "");
    const std::u16string name = InstanceNameFor((shop.Folder() / "Shop.exe").u16string());
    std::future<Outcome> first = shop.Start(L"first");
    std::optional<BlockSeen> header;
    ASSERT_TRUE(WaitUntil([&] { return (header = ReadBlock(name)) && header->listenerThread != 0; }, 20s));
    EXPECT_EQ(header->handOffMessage, ::RegisterWindowMessageW(os::Wide(name)));
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
        const StringList before = ReadBlock(name)->arguments;
        std::future<Outcome> later = shop.Start(c.arguments);
        if (!c.handedOver) {
            ExpectEnd(later, kExitMinusOne, c.rule);
            EXPECT_EQ(ReadBlock(name)->arguments, before) << c.rule << ": the block is left as it was";
            continue;
        }
        EXPECT_TRUE(WaitUntil([&] { return ReadBlock(name)->arguments == *c.handedOver; }, 20s)) << c.rule;
        EXPECT_EQ(later.wait_for(1s), std::future_status::timeout) << c.rule << ": it waits for the first instance";
        waiting.push_back(std::move(later));
    }
    fs::remove(shop.Folder() / "hold");
    ExpectEnd(first, kPairExitCode, "the first instance");
    for (std::future<Outcome>& later : waiting) ExpectEnd(later, kPairExitCode, "a later start");

    // A start after the first instance has ended is a first instance itself.
    std::future<Outcome> next = shop.Start(L"again");
    ExpectEnd(next, kPairExitCode, "the next start");
    EXPECT_EQ(shop.PairCommandLine(), shop.CommandLine(L"again"));
}

// main held until the test lets it go; "secondaryMain" void, int or absent.
const ShopFolder& WaitingShop(const ShopFolder& shop, const std::string& secondaryMain)
{
    shop.Write(u"[Application]\r\nSingle Instance=yes");
    shop.Play("hold=main\nsecondary-main=" + secondaryMain + "\nsecondary-result=" +
              std::to_string(kSecondaryResult) + "\n");
    return shop;
}

TEST(HandOff, ALaterStartsArgumentsReachSecondaryMainAndItsResultIsTheExitCode)
{
    struct Case {
        const char* secondaryMain;
        bool endsBeforeRelease; // the later start is answered while main still runs
        std::uint32_t exitCode; // of the later start
        bool called;            // secondaryMain received the arguments
    };
    const Case cases[] = {
        {"int", true, kSecondaryResult, true},
        {"void", true, 0, true},
        // Without secondaryMain the later start ends with the first instance.
        {"absent", false, 0, false},
    };
    const std::vector<std::u16string> handedOver{u"one", u"two words", u"Gr\u00fc\u00dfe \u65e5\u672c"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.secondaryMain);
        const ShopFolder shop;
        std::future<Outcome> first = WaitingShop(shop, c.secondaryMain).Start(L"first");
        ASSERT_TRUE(shop.WaitHeld("main")) << shop.Record().Text();

        std::future<Outcome> later = shop.Start(L"one \"two words\" \"Gr\u00fc\u00dfe \u65e5\u672c\"");
        EXPECT_EQ(later.wait_for(c.endsBeforeRelease ? 30s : 3s) == std::future_status::ready, c.endsBeforeRelease);
        shop.Release("main");
        ExpectEnd(first, 0, "the first instance");
        ExpectEnd(later, c.exitCode, "the later start");

        const StandInRecord record = shop.Record();
        EXPECT_EQ(record.ArgumentsOfCalls("secondaryMain"),
                  std::vector<std::vector<std::u16string>>(c.called ? 1 : 0, handedOver)) << record.Text();
        EXPECT_EQ(record.ArgumentsOfCalls("main"), std::vector<std::vector<std::u16string>>{{u"first"}})
            << "the later start runs no main of its own\n" << record.Text();
        EXPECT_EQ(record.Complaints(), std::vector<std::string>{}) << record.Text();
    }
}

// Later starts at once take turns at the block's one argument slot.
TEST(HandOff, FiftyLaterStartsAtOnceEachDeliverTheirOwnArgumentsOnce)
{
    const ShopFolder shop;
    std::future<Outcome> first = WaitingShop(shop, "int").Start(L"first");
    ASSERT_TRUE(shop.WaitHeld("main")) << shop.Record().Text();
    std::vector<std::future<Outcome>> later;
    std::multiset<std::vector<std::u16string>> sent;
    for (int i = 0; i < 50; ++i) {
        const std::wstring word = L"start-" + std::to_wstring(i);
        const std::wstring file = L"file " + std::to_wstring(i);
        later.push_back(shop.Start(word + L" \"" + file + L"\"", 120s));
        sent.insert({std::u16string(word.begin(), word.end()), std::u16string(file.begin(), file.end())});
    }
    for (std::future<Outcome>& run : later) ExpectEnd(run, kSecondaryResult, "a later start");
    const auto calls = shop.Record().ArgumentsOfCalls("secondaryMain");
    const std::multiset<std::vector<std::u16string>> received(calls.begin(), calls.end());
    EXPECT_TRUE(received == sent) << "each start's arguments arrive once, none lost, none twice; "
                                  << std::set<std::vector<std::u16string>>(calls.begin(), calls.end()).size()
                                  << " distinct lists arrived";
    shop.Release("main");
    ExpectEnd(first, 0, "the first instance");
}

} // namespace
} // namespace tala::test
