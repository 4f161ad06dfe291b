// The Java VM inside the launcher's process: the VM library's entry points,
// the VM once created, and the Java thread's JNI environment.
#pragma once

#include <jni.h>

#include <string>

namespace tala {

class Launcher;

struct JavaVm {
    using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
    using GetDefaultInitArgsFunction = jint(JNICALL*)(void*);
    using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

    CreateJavaVmFunction createJavaVm = nullptr;
    GetDefaultInitArgsFunction getDefaultInitArgs = nullptr;
    FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr; // may be missing
    JavaVM* handle = nullptr; // set only by a successful creation
    JNIEnv* env = nullptr;    // valid on the Java thread only
};

// Loads the VM library (it stays loaded until the process ends) and resolves
// its entry points; reports a failure (222, or 202 with 212).
bool LoadVmLibrary(Launcher& launcher, const std::u16string& path);

// Creates the VM on the calling thread with the launcher's VM options and the
// "abort" and "exit" hooks; reports a failure (203 with 213 and the reason).
// Nothing more: the Java thread's sequence (vm/JavaThread.h) goes on from here.
bool CreateVm(Launcher& launcher);

// Destroys the VM if one is held; waits for the application's other threads.
void DestroyVm(Launcher& launcher);

} // namespace tala
