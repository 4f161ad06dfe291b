#include "instance/HandOff.h"

#include "instance/InstanceBlock.h"
#include "os/BackgroundThread.h"
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

// Without an answer the later start waits until this process ends.
void CallSecondaryMain(const HandOffShared& shared, JNIEnv* env, os::ThreadId secondStart)
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
    const InstanceBlock block = shared.block->Bytes().first<kInstanceBlockSize>();
    const jobjectArray arguments = NewStringArray(env, ReadArgumentBlock(ArgumentsOf(block)));
    if (arguments == nullptr) {
        DescribePendingException(env);
        return;
    }
    if (returnsInt) {
        const jint result = env->CallStaticIntMethod(mainClass, method, arguments);
        Answer(shared, secondStart, static_cast<std::uint32_t>(result));
    } else {
        // The later start need not wait for the call to end.
        Answer(shared, secondStart, 0);
        env->CallStaticVoidMethod(mainClass, method, arguments);
    }
    DescribePendingException(env);
}

} // namespace

std::uint32_t RunListener(const std::shared_ptr<HandOffShared>& shared, os::MessageQueue& queue)
{
    os::ThreadMessage message;
    while (queue.Wait(message)) {
        if (message.id != shared->handOffMessage) continue;
        const auto secondStart = static_cast<os::ThreadId>(message.wParam);
        // Not waited for: the listener goes straight back to its queue.
        os::StartDetachedThread([shared, secondStart] { HandOffWorker(*shared, secondStart); });
    }
    return 0;
}

void HandOffWorker(const HandOffShared& shared, os::ThreadId secondStart)
{
    shared.mainStarted->Wait();
    JavaVM* vm = shared.vm.load();
    if (vm == nullptr) return;
    JNIEnv* env = nullptr;
    if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return;
    CallSecondaryMain(shared, env, secondStart);
    if (!shared.stayAttached) vm->DetachCurrentThread();
}

} // namespace tala
