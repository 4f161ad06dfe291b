// The application's standard output and error sent to the files the settings
// name, set up inside the new VM before the main class is loaded.
#pragma once

#include <jni.h>

namespace tala {

struct LauncherSettings;

// Sends the streams to the output and error files of the settings, their
// date and time patterns filled in. Never makes the start fail: a stream that
// cannot be redirected stays as it is.
void RedirectStandardStreams(const LauncherSettings& settings, JNIEnv* env);

} // namespace tala
