// Java strings made from the launcher's UTF-16 text, code unit for code unit
// (never through NewStringUTF, which expects modified UTF-8), and text read
// back from Java.
#pragma once

#include "settings/StringRules.h"

#include <jni.h>

#include <string>
#include <string_view>

namespace tala {

// A java.lang.String; nothing (an exception may be pending) on failure.
jstring NewJavaString(JNIEnv* env, std::u16string_view text);

// A String[] with one element per argument, in order; nothing on failure.
jobjectArray NewStringArray(JNIEnv* env, const StringList& arguments);

// Modified UTF-8 from GetStringUTFChars as UTF-16.
std::u16string FromJavaUtf(const char* text);

} // namespace tala
