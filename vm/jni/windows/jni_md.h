/* The machine-dependent part of the JNI declarations for Windows x64 builds
 * made on a host whose JDK ships only its own platform's part: the calling
 * convention and the two integer types the JNI standard leaves to the platform. */
#ifndef TALA_JNI_MD_H
#define TALA_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif
