#include "vm/JniStrings.h"

#include "os/Utf8.h"

namespace tala {

jstring NewJavaString(JNIEnv* env, std::u16string_view text)
{
    const jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return nullptr;
    const jmethodID fromChars = env->GetMethodID(stringClass, "<init>", "([C)V");
    if (fromChars == nullptr) return nullptr;
    const auto length = static_cast<jsize>(text.size());
    const jcharArray chars = env->NewCharArray(length);
    if (chars == nullptr) return nullptr;
    static_assert(sizeof(jchar) == sizeof(char16_t), "a jchar is a UTF-16 code unit");
    env->SetCharArrayRegion(chars, 0, length, reinterpret_cast<const jchar*>(text.data()));
    jstring result = nullptr;
    if (env->ExceptionOccurred() == nullptr) {
        result = static_cast<jstring>(env->NewObject(stringClass, fromChars, chars));
    }
    env->DeleteLocalRef(chars);
    return result;
}

jobjectArray NewStringArray(JNIEnv* env, const StringList& arguments)
{
    const jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return nullptr;
    const jobjectArray array =
        env->NewObjectArray(static_cast<jsize>(arguments.size()), stringClass, nullptr);
    if (array == nullptr) return nullptr;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const jstring argument = NewJavaString(env, arguments[i]);
        if (argument == nullptr) return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), argument);
        env->DeleteLocalRef(argument);
    }
    return array;
}

std::u16string FromJavaUtf(const char* text) { return os::FromUtf8(text); }

} // namespace tala
