#include "vm/OutputRedirection.h"

#include "launcher/Trace.h"
#include "settings/LauncherSettings.h"
#include "vm/JniStrings.h"
#include "vm/OutputFiles.h"

namespace tala {
namespace {

// A java.io.PrintStream over a FileOutputStream on the file; nothing (an
// exception may be pending) when the file cannot be opened.
jobject OpenPrintStream(JNIEnv* env, const std::u16string& name, bool append)
{
    SystemFolders folders;
    EnsureParentFolders(name, folders);
    const jstring path = NewJavaString(env, name);
    if (path == nullptr) return nullptr;
    const jclass fileStreamClass = env->FindClass("java/io/FileOutputStream");
    if (fileStreamClass == nullptr) return nullptr;
    const jmethodID openFile = env->GetMethodID(fileStreamClass, "<init>", "(Ljava/lang/String;Z)V");
    if (openFile == nullptr) return nullptr;
    const jobject fileStream =
        env->NewObject(fileStreamClass, openFile, path, append ? JNI_TRUE : JNI_FALSE);
    if (fileStream == nullptr) return nullptr;
    const jclass printStreamClass = env->FindClass("java/io/PrintStream");
    if (printStreamClass == nullptr) return nullptr;
    const jmethodID wrap = env->GetMethodID(printStreamClass, "<init>", "(Ljava/io/OutputStream;)V");
    if (wrap == nullptr) return nullptr;
    return env->NewObject(printStreamClass, wrap, fileStream);
}

// Replaces System.out ("setOut") or System.err ("setErr") with a stream on the file.
bool Redirect(JNIEnv* env, const std::u16string& name, bool append, const char* setter)
{
    const jobject stream = OpenPrintStream(env, name, append);
    if (stream == nullptr) return false;
    const jclass system = env->FindClass("java/lang/System");
    if (system == nullptr) return false;
    const jmethodID set = env->GetStaticMethodID(system, setter, "(Ljava/io/PrintStream;)V");
    if (set == nullptr) return false;
    env->CallStaticVoidMethod(system, set, stream);
    return env->ExceptionOccurred() == nullptr;
}

void RedirectOrDescribe(JNIEnv* env, const std::u16string& name, bool append, const char* setter)
{
    if (name.empty()) return;
    // A file that cannot be opened leaves the stream as it is; the reason
    // goes to the current standard error.
    if (Redirect(env, name, append, setter)) return;
    trace::Note("jni", setter, u"to", name, "failed");
    if (env->ExceptionOccurred() != nullptr) env->ExceptionDescribe();
}

} // namespace

void RedirectStandardStreams(const LauncherSettings& settings, JNIEnv* env)
{
    std::u16string outputFile = settings.outputFile;
    std::u16string errorFile = settings.errorFile;
    const bool outputPatterned = outputFile.find(u'%') != std::u16string::npos;
    const bool errorPatterned = errorFile.find(u'%') != std::u16string::npos;
    if (outputPatterned || errorPatterned) {
        // One moment for both names, so files of one run belong together.
        const os::LocalTime now = os::ReadLocalTime();
        if (outputPatterned) outputFile = ExpandDateTimePattern(outputFile, now);
        if (errorPatterned) errorFile = ExpandDateTimePattern(errorFile, now);
    }
    RedirectOrDescribe(env, outputFile, settings.outputAppend, "setOut");
    RedirectOrDescribe(env, errorFile, settings.errorAppend, "setErr");
}

} // namespace tala
