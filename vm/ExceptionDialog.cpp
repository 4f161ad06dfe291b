#include "vm/ExceptionDialog.h"

#include "os/ExceptionPrompt.h"
#include "vm/JniStrings.h"

namespace tala {
namespace {

// A new object of a class through its constructor; nothing on failure.
template <typename... Arguments>
jobject Construct(JNIEnv* env, const char* className, const char* signature, Arguments... arguments)
{
    const jclass type = env->FindClass(className);
    if (type == nullptr) return nullptr;
    const jmethodID constructor = env->GetMethodID(type, "<init>", signature);
    if (constructor == nullptr) return nullptr;
    return env->NewObject(type, constructor, arguments...);
}

// The trace exactly as the runtime prints it: printStackTrace into a
// ByteArrayOutputStream. Empty on any failure, which leaves its exception
// pending.
std::u16string PrintedTrace(jthrowable exception, JNIEnv* env)
{
    const jobject bytes = Construct(env, "java/io/ByteArrayOutputStream", "()V");
    if (bytes == nullptr) return {};
    const jobject stream = Construct(env, "java/io/PrintStream", "(Ljava/io/OutputStream;)V", bytes);
    if (stream == nullptr) return {};
    const jmethodID print = env->GetMethodID(env->GetObjectClass(exception), "printStackTrace",
                                             "(Ljava/io/PrintStream;)V");
    if (print == nullptr) return {};
    env->CallVoidMethod(exception, print, stream);
    if (env->ExceptionOccurred() != nullptr) return {};
    const jmethodID toString = env->GetMethodID(env->GetObjectClass(bytes), "toString", "()Ljava/lang/String;");
    if (toString == nullptr) return {};
    const auto text = static_cast<jstring>(env->CallObjectMethod(bytes, toString));
    if (text == nullptr) return {};
    const char* utf = env->GetStringUTFChars(text, nullptr);
    if (utf == nullptr) return {};
    std::u16string trace = FromJavaUtf(utf);
    env->ReleaseStringUTFChars(text, utf);
    return trace;
}

} // namespace

std::u16string GetStackTraceText(jthrowable exception, JNIEnv* env)
{
    std::u16string trace = PrintedTrace(exception, env);
    // What went wrong on the way goes to standard error, and the thread is
    // left without a pending exception for what follows.
    if (env->ExceptionOccurred() != nullptr) env->ExceptionDescribe();
    return trace;
}

bool ShowExceptionDialog(Launcher&, jthrowable exception, JNIEnv* env)
{
    env->ExceptionClear();
    const std::u16string trace = GetStackTraceText(exception, env);
    // Without a trace there is nothing to show: carry on as after Ignore.
    if (trace.empty()) return false;
    return os::AskIgnoreOrStop(trace) == os::ExceptionChoice::Stop;
}

bool CallSystemExit(JNIEnv* env)
{
    const jclass system = env->FindClass("java/lang/System");
    if (system == nullptr) return false;
    const jmethodID exit = env->GetStaticMethodID(system, "exit", "(I)V");
    if (exit == nullptr) return false;
    env->CallStaticVoidMethod(system, exit, jint{-1});
    if (env->ExceptionOccurred() != nullptr) {
        env->ExceptionDescribe();
        return false;
    }
    return true;
}

} // namespace tala
