#include "vm/ExceptionDialog.h"

namespace tala {

// The dialog does not exist yet: with no stack trace to show the launcher
// carries on as after Ignore.
bool ShowExceptionDialog(Launcher&, jthrowable, JNIEnv*) { return false; }

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
