// The application's standard output and error sent to the files the settings
// name, set up inside the new VM before the main class is loaded.
#pragma once

#include <jni.h>

namespace tala {

class Launcher;

// Never makes the start fail: a stream that cannot be redirected stays as it is.
void RedirectStandardStreams(Launcher& launcher, JNIEnv* env);

} // namespace tala
