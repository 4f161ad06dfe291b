#include "vm/JavaThread.h"

#include "instance/SingleInstance.h"
#include "launcher/ErrorReport.h"
#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/Thread.h"
#include "splash/Splash.h"
#include "vm/ExceptionDialog.h"
#include "vm/Jdk11InitArgs.h"
#include "vm/JniStrings.h"
#include "vm/OutputRedirection.h"
#include "vm/StartupCache.h"

namespace tala {
namespace {

bool DetachJavaThread(Launcher& launcher)
{
    const jint detached = launcher.vm.handle->DetachCurrentThread();
    if (detached != JNI_OK) trace::Note("jni", "DetachCurrentThread failed with", detached);
    return detached == JNI_OK;
}

std::uint32_t JavaThreadMain(void* argument)
{
    Launcher& launcher = *static_cast<Launcher*>(argument);
    if (!CreateVm(launcher)) return 1;
    CheckStartupCache(launcher);
    RedirectStandardStreams(launcher.settings, launcher.vm.env);
    if (!InvokeMain(launcher)) return 1;
    // IBM runtimes end the process themselves; the launcher must not return
    // from their main thread.
    if (AllowsIbmRuntimes(launcher.settings)) os::SleepForever();
    if (!DetachJavaThread(launcher)) return 1;
    // Returns once the application's other non-daemon threads have ended.
    DestroyVm(launcher);
    return 0;
}

// The runtime's own launcher helper loads the main class the way "java" does
// (and reports a missing one itself); nothing when the runtime lacks it.
jclass MainClassThroughLauncherHelper(Launcher& launcher)
{
    JNIEnv* env = launcher.vm.env;
    if (launcher.vm.findClassFromBootLoader == nullptr) return nullptr;
    const jclass helper = launcher.vm.findClassFromBootLoader(env, "sun/launcher/LauncherHelper");
    if (helper == nullptr) {
        trace::Note("jni", "JVM_FindClassFromBootLoader(sun/launcher/LauncherHelper) failed");
        return nullptr;
    }
    const jmethodID checkAndLoadMain = env->GetStaticMethodID(
        helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
    if (checkAndLoadMain == nullptr) {
        trace::Note("jni", "GetStaticMethodID(LauncherHelper.checkAndLoadMain) failed");
        return nullptr;
    }
    const jstring name = NewJavaString(env, ReplaceAll(launcher.settings.mainClass, u'/', u'.'));
    if (name == nullptr) return nullptr;
    return static_cast<jclass>(
        env->CallStaticObjectMethod(helper, checkAndLoadMain, JNI_TRUE, jint{1}, name));
}

jclass MainClassThroughFindClass(Launcher& launcher)
{
    JNIEnv* env = launcher.vm.env;
    env->ExceptionClear();
    const jstring name = NewJavaString(env, launcher.settings.mainClass);
    if (name == nullptr) {
        ReportError(launcher.splashWindow, MessageId::MainClassNotConvertible,
                    {launcher.settings.mainClass});
        return nullptr;
    }
    const char* utf = env->GetStringUTFChars(name, nullptr);
    if (utf == nullptr) {
        env->ExceptionDescribe();
        return nullptr;
    }
    const jclass mainClass = env->FindClass(utf);
    if (mainClass == nullptr) {
        trace::Note("jni", "FindClass failed:", std::string_view(utf));
        env->ExceptionDescribe();
        ReportError(launcher.splashWindow, MessageId::MainClassNotFound, {FromJavaUtf(utf)});
    }
    env->ReleaseStringUTFChars(name, utf);
    return mainClass;
}

// After main: the exception it left is offered to the user when asked for.
void HandleUncaughtException(Launcher& launcher)
{
    JNIEnv* env = launcher.vm.env;
    const jthrowable exception = env->ExceptionOccurred();
    if (exception == nullptr) return;
    trace::Note("jni", "main ended with an uncaught exception");
    CloseSplashWindow(launcher);
    if (launcher.settings.failureCheck && ShowExceptionDialog(launcher, exception, env)) {
        CallSystemExit(env);
    }
}

} // namespace

std::uint64_t DefaultJavaStackSize(const Launcher& launcher)
{
    Jdk11InitArgs arguments{};
    arguments.version = JNI_VERSION_1_1;
    // Its result is of no interest: runtimes that no longer support the
    // record still fill in the stack size.
    launcher.vm.getDefaultInitArgs(&arguments);
    return arguments.javaStackSize > 0 ? static_cast<std::uint64_t>(arguments.javaStackSize) : 0;
}

std::uint32_t RunJavaThread(Launcher& launcher)
{
    const std::uint64_t stackSize =
        launcher.javaThreadStackSize != 0 ? launcher.javaThreadStackSize : DefaultJavaStackSize(launcher);
    os::Thread thread;
    // Without a thread of its own the application runs on this one.
    if (!thread.Start(JavaThreadMain, &launcher, static_cast<std::size_t>(stackSize))) {
        return JavaThreadMain(&launcher);
    }
    return thread.Join();
}

bool InvokeMain(Launcher& launcher)
{
    JNIEnv* env = launcher.vm.env;
    jclass mainClass = MainClassThroughLauncherHelper(launcher);
    if (mainClass == nullptr) mainClass = MainClassThroughFindClass(launcher);
    if (mainClass == nullptr) return false;

    const jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (main == nullptr) {
        trace::Note("jni", "GetStaticMethodID(main) failed");
        if (env->ExceptionOccurred() != nullptr) {
            env->ExceptionDescribe();
        } else {
            ShowErrorBox(launcher.splashWindow, MessageId::MainMethodNotFound);
        }
        return false;
    }
    const jobjectArray arguments = NewStringArray(env, launcher.programArguments);
    if (arguments == nullptr) {
        trace::Note("jni", "the String[] of main's arguments could not be made");
        env->ExceptionDescribe();
        return false;
    }
    SetMainStartedEvent(launcher);
    env->CallStaticVoidMethod(mainClass, main, arguments);
    HandleUncaughtException(launcher);
    return true;
}

} // namespace tala
