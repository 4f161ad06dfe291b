#include "instance/SingleInstance.h"

#include "instance/HandOff.h"
#include "instance/InstanceBlock.h"
#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/Clock.h"
#include "os/Module.h"
#include "os/NamedMutex.h"
#include "os/ProcessWatch.h"
#include "settings/EmbeddedSettingsText.h"
#include "settings/LayeredSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"


namespace tala {
namespace {

constexpr std::uint32_t kPollMilliseconds = 100;

// Later starts take turns at the block's one argument slot. Each holds it
// for milliseconds as a rule; the limits keep a stuck holder or a stuck
// first instance from blocking the others for good: past them a start goes
// on without its turn, which risks only the exclusivity of the slot.
constexpr std::uint32_t kSlotWaitMilliseconds = 30000;
constexpr std::uint64_t kSlotHoldMilliseconds = 5000;

InstanceBlock BlockOf(const os::SharedMemory& memory)
{
    return memory.Bytes().first<kInstanceBlockSize>();
}

bool SingleInstanceWanted(const Launcher& launcher, const std::u16string& settingsFilePath)
{
    // Services never run single-instance. "Application Type" was read by the
    // same rule with the other settings a moment ago; every further lookup
    // reads the whole settings file again.
    if (launcher.settings.isService) {
        trace::Note("single instance", "off: a service");
        return false;
    }
    LayeredSettings layered(settingsFilePath, LoadEmbeddedSettingsText(launcher.settings.upgradeCode));
    const bool wanted = IsExactly(layered.Get(keys::kApplication, keys::kSingleInstance), u"yes");
    if (!wanted) trace::Note("single instance", "off: \"Single Instance\" is not \"yes\"");
    return wanted;
}

// Starts the listener and waits until its queue takes messages: only then is
// its id written into the block, so no later start posts to a thread that
// cannot receive yet.
struct Handshake {
    std::unique_ptr<os::Event> ready = os::Event::Create(u"");
    bool listening = false;
};

// What the listener starts with: it keeps its own references, as the
// starting thread lets go of its own once the listener is ready.
struct ListenerStart {
    std::shared_ptr<Handshake> handshake;
    std::shared_ptr<HandOffShared> shared;
};

std::uint32_t ListenerMain(void* argument)
{
    const ListenerStart start = *static_cast<const ListenerStart*>(argument);
    os::MessageQueue queue;
    start.handshake->listening = queue.IsOpen();
    start.handshake->ready->Set();
    return start.handshake->listening ? RunListener(start.shared, queue) : 1;
}

bool StartListener(InstanceState& state, const std::shared_ptr<HandOffShared>& shared)
{
    // Not make_shared: built without type information, it would link the
    // C++ library's shared-pointer support and its exceptions into tala.exe.
    ListenerStart start{std::shared_ptr<Handshake>(new Handshake), shared};
    if (!start.handshake->ready) return false;
    os::Thread listener;
    if (!listener.Start(ListenerMain, &start)) return false;
    start.handshake->ready->Wait();
    if (!start.handshake->listening) return false;
    state.listener = std::move(listener);
    return true;
}

bool BecomeFirstInstance(Launcher& launcher, const std::u16string& instanceName,
                         const std::shared_ptr<os::SharedMemory>& memory)
{
    const InstanceBlock block = BlockOf(*memory);
    std::shared_ptr<HandOffShared> shared(new HandOffShared);
    shared->block = memory;
    shared->mainClass = launcher.settings.mainClass;
    shared->stayAttached = AllowsIbmRuntimes(launcher.settings);
    shared->mainStarted = os::Event::Create(instanceName + u"_upr_evt");
    if (!shared->mainStarted) return false;
    shared->handOffMessage = os::RegisterThreadMessage(instanceName);
    if (shared->handOffMessage == 0) return false;
    WriteBlockNumber(block, kHandOffMessageOffset, shared->handOffMessage);
    WriteBlockNumber(block, kProcessIdOffset, os::CurrentProcessId());

    InstanceState state;
    if (!StartListener(state, shared)) return false;
    WriteBlockNumber(block, kListenerThreadOffset, state.listener.Id());
    os::SharedMemory::LeaveExitCodeAtExit(memory);
    state.block = memory;
    state.handOff = std::move(shared);
    launcher.instance = std::move(state);
    return true;
}

std::unique_ptr<os::NamedMutex> TakeArgumentSlot(const std::u16string& instanceName)
{
    std::unique_ptr<os::NamedMutex> slot = os::NamedMutex::Open(instanceName + u"_arg_mtx");
    if (slot && !slot->Acquire(kSlotWaitMilliseconds)) slot.reset();
    return slot;
}

bool HandToFirstInstance(Launcher& launcher, const std::u16string& instanceName,
                         const std::shared_ptr<os::SharedMemory>& memory)
{
    const InstanceBlock block = BlockOf(*memory);
    std::unique_ptr<os::NamedMutex> slot = TakeArgumentSlot(instanceName);
    if (!WriteArgumentBlock(launcher.programArguments, ArgumentsOf(block))) return false;
    // The answer's queue exists before the first instance can answer.
    auto replies = std::make_unique<os::MessageQueue>();
    if (!replies->IsOpen()) return false;
    // A header still being written reads 0 here, and the hand-off fails.
    const std::uint32_t message = ReadBlockNumber(block, kHandOffMessageOffset);
    if (message == 0) return false;
    const os::ThreadMessage handOff{message, os::CurrentThreadId(), 0};
    if (!os::PostThreadMessageTo(ReadBlockNumber(block, kListenerThreadOffset), handOff)) return false;
    launcher.instance.block = memory;
    launcher.instance.replies = std::move(replies);
    launcher.instance.argumentSlot = std::move(slot);
    launcher.instance.handOffMessage = message;
    return true;
}

} // namespace

bool CheckSingleInstance(Launcher& launcher)
{
    std::u16string settingsFilePath;
    if (!GetSettingsFilePath(settingsFilePath, launcher.splashWindow)) return false;
    if (!SingleInstanceWanted(launcher, settingsFilePath)) return true;

    std::u16string modulePath;
    if (!os::GetModulePath(modulePath)) {
        trace::Note("single instance", "off: the executable's path is unknown");
        return true;
    }
    const std::u16string instanceName = InstanceNameFor(modulePath);
    const std::shared_ptr<os::SharedMemory> memory = os::SharedMemory::Open(instanceName, kInstanceBlockSize);
    if (!memory) {
        trace::Note("single instance", u"off: the shared block", instanceName, u"cannot be had");
        return true;
    }
    launcher.singleInstanceActive = true;
    launcher.isFirstInstance = memory->IsOwner();
    trace::Note("single instance", launcher.isFirstInstance ? "first instance" : "later start: hands over");
    if (!launcher.isFirstInstance) return HandToFirstInstance(launcher, instanceName, memory);
    // Without its listener a first instance runs as a normal start; the
    // block goes with the failed set-up, so the next start can be a first
    // instance again.
    if (!BecomeFirstInstance(launcher, instanceName, memory)) {
        trace::Note("single instance", "off: the first instance's listener could not be set up");
        launcher.singleInstanceActive = false;
        launcher.isFirstInstance = false;
    }
    return true;
}

std::int32_t WaitForFirstInstance(Launcher& launcher)
{
    InstanceState& state = launcher.instance;
    const std::uint32_t processId = ReadBlockNumber(BlockOf(*state.block), kProcessIdOffset);
    const std::unique_ptr<os::ProcessWatch> firstInstance = os::ProcessWatch::Open(processId, state.block);
    if (!firstInstance) return 0;
    const std::uint64_t slotLimit = os::MonotonicMilliseconds() + kSlotHoldMilliseconds;
    for (;;) {
        // Other messages are dropped.
        const std::optional<os::ThreadMessage> message = state.replies->Take();
        if (message && message->id == state.handOffMessage) {
            if (message->lParam != kArgumentsTaken) {
                return static_cast<std::int32_t>(static_cast<std::uint32_t>(message->wParam));
            }
            state.argumentSlot.reset();
        }
        if (const std::optional<std::uint32_t> exitCode = firstInstance->ExitCode()) {
            return static_cast<std::int32_t>(*exitCode);
        }
        if (os::MonotonicMilliseconds() >= slotLimit) state.argumentSlot.reset();
        state.replies->Await(kPollMilliseconds);
    }
}

void SetMainStartedEvent(Launcher& launcher)
{
    HandOffShared* shared = launcher.instance.handOff.get();
    if (shared == nullptr) return;
    shared->vm.Set(launcher.vm.handle);
    shared->mainStarted->Set();
}

void ForgetVmForHandOffs(Launcher& launcher)
{
    if (HandOffShared* shared = launcher.instance.handOff.get()) shared->vm.Forget();
}

void StopSingleInstance(Launcher& launcher)
{
    if (!launcher.singleInstanceActive) return;
    InstanceState& state = launcher.instance;
    // The listener's own id, not the one in the block: another process may
    // have written anything there.
    os::QuitThread(state.listener);
    // Workers keep what they share until they are done.
    state = InstanceState{};
}

} // namespace tala
