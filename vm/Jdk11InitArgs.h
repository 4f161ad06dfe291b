// The JDK 1.1 initialisation record, of which runtimes still fill in the
// default Java stack size (JNI_GetDefaultJavaVMInitArgs); current jni.h files
// no longer declare it.
#pragma once

#include <jni.h>

#include <cstdarg>
#include <cstdio>

namespace tala {

struct Jdk11InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    jint(JNICALL* vfprintf)(FILE* stream, const char* format, va_list arguments);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)();
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

} // namespace tala
