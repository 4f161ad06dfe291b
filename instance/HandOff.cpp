#include "instance/HandOff.h"

#include "instance/InstanceBlock.h"
#include "os/Thread.h"
#include "os/TextConversion.h"
#include "vm/JniStrings.h"

namespace tala {
namespace {

void DescribePendingException(JNIEnv* env)
{
    if (env->ExceptionOccurred() != nullptr) env->ExceptionDescribe();
}

void Answer(const HandOffShared& shared, os::ThreadId secondStart, std::uint32_t result)
{
    os::PostThreadMessageTo(secondStart, {shared.handOffMessage, result, 0});
}

// What one hand-off worker takes with it, its own from its first instruction.
struct WorkerStart {
    std::shared_ptr<HandOffShared> shared;
    os::ThreadId secondStart = 0;
    StringList arguments;
};

std::uint32_t WorkerMain(void* argument)
{
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    HandOffWorker(*start->shared, start->secondStart, start->arguments);
    return 0;
}

// Without an answer the later start waits until this process ends.
void CallSecondaryMain(const HandOffShared& shared, JNIEnv* env, os::ThreadId secondStart,
                       const StringList& arguments)
{
    const std::string className = os::ToAnsiCodePage(shared.mainClass);
    const jclass mainClass = env->FindClass(className.c_str());
    if (mainClass == nullptr) {
        DescribePendingException(env);
        return;
    }
    jmethodID method = env->GetStaticMethodID(mainClass, "secondaryMain", "([Ljava/lang/String;)V");
    if (env->ExceptionOccurred() != nullptr) env->ExceptionClear();
    const bool returnsInt = method == nullptr;
    if (returnsInt) {
        method = env->GetStaticMethodID(mainClass, "secondaryMain", "([Ljava/lang/String;)I");
        if (method == nullptr) {
            DescribePendingException(env);
            return;
        }
    }
    const jobjectArray array = NewStringArray(env, arguments);
    if (array == nullptr) {
        DescribePendingException(env);
        return;
    }
    if (returnsInt) {
        const jint result = env->CallStaticIntMethod(mainClass, method, array);
        Answer(shared, secondStart, static_cast<std::uint32_t>(result));
    } else {
        // The later start need not wait for the call to end.
        Answer(shared, secondStart, 0);
        env->CallStaticVoidMethod(mainClass, method, array);
    }
    DescribePendingException(env);
}

} // namespace

JNIEnv* HandOffVm::Attach(JavaVM*& vm)
{
    attaching_.fetch_add(1);
    vm = vm_.load();
    JNIEnv* env = nullptr;
    if (vm != nullptr && vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) {
        env = nullptr;
    }
    attaching_.fetch_sub(1);
    return env;
}

void HandOffVm::Forget()
{
    // Every access is sequentially consistent: a worker either finds no VM
    // here, or is counted before this thread looks at the count.
    vm_.store(nullptr);
    while (attaching_.load() != 0) os::PauseMilliseconds(1);
}

std::uint32_t RunListener(const std::shared_ptr<HandOffShared>& shared, os::MessageQueue& queue)
{
    os::ThreadMessage message;
    while (queue.Wait(message)) {
        if (message.id != shared->handOffMessage) continue;
        const auto secondStart = static_cast<os::ThreadId>(message.wParam);
        const InstanceBlock block = shared->block->Bytes().first<kInstanceBlockSize>();
        auto start = std::make_unique<WorkerStart>(WorkerStart{shared, secondStart, ReadArgumentBlock(ArgumentsOf(block))});
        os::PostThreadMessageTo(secondStart, {shared->handOffMessage, 0, kArgumentsTaken});
        // Not waited for: the listener goes straight back to its queue.
        os::Thread worker;
        if (worker.Start(WorkerMain, start.get())) start.release();
    }
    return 0;
}

void HandOffWorker(HandOffShared& shared, os::ThreadId secondStart, const StringList& arguments)
{
    shared.mainStarted->Wait();
    JavaVM* vm = nullptr;
    JNIEnv* env = shared.vm.Attach(vm);
    if (env == nullptr) return;
    CallSecondaryMain(shared, env, secondStart, arguments);
    if (!shared.stayAttached) vm->DetachCurrentThread();
}

} // namespace tala
