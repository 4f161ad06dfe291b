// What the user is offered when main ends with an uncaught exception and
// "Failure Check" is on: the stack trace, and the choice to ignore it or to
// stop the application.
#pragma once

#include <jni.h>

namespace tala {

class Launcher;

// True when the user chose to stop the application.
bool ShowExceptionDialog(Launcher& launcher, jthrowable exception, JNIEnv* env);

// Ends the application with System.exit(-1); false when the call came back.
bool CallSystemExit(JNIEnv* env);

} // namespace tala
