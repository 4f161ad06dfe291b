// What the user is offered when main ends with an uncaught exception and
// "Failure Check" is on: the stack trace, and the choice to ignore it or to
// stop the application.
#pragma once

#include <jni.h>

#include <string>

namespace tala {

class Launcher;

// The exception's stack trace as the runtime prints it; empty on any failure.
std::u16string GetStackTraceText(jthrowable exception, JNIEnv* env);

// Clears the pending exception and shows its trace; true when the user chose
// to stop the application (or no dialog could be shown).
bool ShowExceptionDialog(Launcher& launcher, jthrowable exception, JNIEnv* env);

// Ends the application with System.exit(-1); false when the call came back.
bool CallSystemExit(JNIEnv* env);

} // namespace tala
