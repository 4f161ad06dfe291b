// The stand-in VM library's insides: the scenario it plays, the record it
// keeps, a small heap of Java objects (classes, strings, char and object
// arrays, throwables) and the JNI tables the launcher calls through.
// Test code only: it is built for the windows tier and never shipped.
#pragma once

#include "os/windows/UniqueHandle.h"

#include <jni.h>

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tala::test::standin {

enum class MainBehaviour { Return, Throw, Exit, Absent, AbsentWithException, Wait };

// Which "secondaryMain" the application class has, if any.
enum class SecondaryMain { Absent, Void, Int };

struct Scenario {
    jint createResult = JNI_OK;
    jint defaultJavaStackSize = 1024 * 1024;
    std::string mainClass; // with "/"; empty: the VM has no application class
    MainBehaviour main = MainBehaviour::Return;
    jint exitStatus = 0;
    bool launcherHelper = true;
    SecondaryMain secondaryMain = SecondaryMain::Absent;
    jint secondaryResult = 0;
    bool printableTraces = true; // the runtime has the classes a trace is printed with
    std::vector<std::string> errors; // lines the reader could not take
};

// Reads the scenario file; a missing file gives the defaults.
Scenario ReadScenario(const std::wstring& path);

// Appends record lines to the record file, each written at once: the process
// may end inside any call (System.exit, a failure).
class Recorder {
public:
    explicit Recorder(std::wstring path) : path_(std::move(path)) {}

    void Line(const std::string& line);

private:
    std::wstring path_;
    os::UniqueHandle file_;
};

enum class ObjectKind { Class, String, CharArray, ObjectArray, Throwable, Stream };

struct JavaObject {
    ObjectKind kind = ObjectKind::Class;
    std::string className;               // a class's own name; otherwise its class's name
    std::u16string text;                 // String; what a ByteArrayOutputStream holds
    std::vector<jchar> chars;            // char[]
    std::vector<JavaObject*> elements;   // Object[]; the stream a PrintStream writes to
};

// A local reference as JNI hands it out: an object may have many, and each
// ends with DeleteLocalRef.
struct Reference {
    JavaObject* object = nullptr;
    bool live = true;
};

struct Method {
    std::string className;
    std::string name;
    std::string signature;
    bool isStatic = false;
};

// The one state object of the library. The launcher reaches the VM through
// exported C functions and function tables that carry no context of their
// own, and the VM must keep its heap, its hooks and its record between those
// calls: so the library keeps exactly this one object for its lifetime.
class StandIn {
public:
    static StandIn& Instance();

    // Numbers threads in the order they show up; the loading thread is 0.
    int ThreadNumber();
    std::string ThreadField() { return "thread=" + std::to_string(ThreadNumber()); }

    void Record(const std::string& line);
    // Records the failure and ends the process with kStandInFailureExitCode.
    [[noreturn]] void Fail(const std::string& what);
    [[noreturn]] void Unexpected(std::string_view function);
    // Calls the launcher's "exit" hook, as a runtime does on System.exit, and
    // ends the process with the status.
    [[noreturn]] void SystemExit(jint status);

    const Scenario& TheScenario();
    // The folder the library was loaded from, with its trailing backslash.
    const std::wstring& Folder() const { return folder_; }

    // Objects and references.
    JavaObject* ClassNamed(const std::string& name); // interned; never null
    JavaObject* NewObject(ObjectKind kind, std::string className);
    jobject NewReference(JavaObject* object);
    // The object behind a reference the launcher passes; fails on a foreign
    // or deleted one. A null reference gives null.
    JavaObject* Resolve(jobject reference, const char* function);
    void DeleteReference(jobject reference);

    // Whether the application or the runtime has a class of this name.
    bool ClassExists(const std::string& name, bool bootLoader);
    jmethodID FindMethod(const std::string& className, const std::string& name,
                         const std::string& signature, bool isStatic);
    const Method* ResolveMethod(jmethodID id, const char* function);

    // The calling thread's pending exception, if any: each thread has its
    // own, as in a JVM.
    void Throw(const std::string& className);
    JavaObject* PendingException();
    void ClearPendingException();
    // Whether instances of the class have been thrown (and so can print
    // their stack trace).
    bool IsThrowableClass(const std::string& className) const;

    // The thread rules of JNI: a JNIEnv is used only on an attached thread,
    // and most functions not while an exception is pending.
    void CheckCall(const char* function, bool allowedWithException = false);
    void Attach();
    bool Detach();
    bool IsAttached() const { return attached_.count(::GetCurrentThreadId()) != 0; }
    bool vmCreated = false;
    bool vmDestroyed = false;

    // Texts handed out by GetStringUTFChars and not released yet.
    std::set<const char*> utfTexts;

    // The hooks the launcher gave with its options.
    void(JNICALL* exitHook)(jint) = nullptr;
    void(JNICALL* abortHook)() = nullptr;

    JNINativeInterface_ functions{};
    JNIInvokeInterface_ invokeFunctions{};
    JNIEnv env{};
    JavaVM vm{};

    // Serialises the launcher's threads, as far as the stand-in's own data goes.
    std::recursive_mutex lock;

private:
    StandIn();

    std::wstring folder_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<Scenario> scenario_;
    std::map<DWORD, int> threads_;
    std::map<DWORD, JavaObject*> pending_;
    std::set<std::string> throwables_;
    std::set<DWORD> attached_;
    std::deque<JavaObject> objects_;
    std::deque<Reference> references_;
    std::set<const Reference*> handedOut_;
    std::map<std::string, JavaObject*> classes_;
    std::deque<Method> methods_;
};

// Fills the JNI function table: the functions the launcher is meant to
// call, and a trap in every other slot.
void FillJniFunctions(JNINativeInterface_& functions);

// The invocation interface: DestroyJavaVM, AttachCurrentThread, ...
void FillInvokeFunctions(JNIInvokeInterface_& functions);

// The bodies of the library's exports; each variant exports all but one.
jint GetDefaultInitArgs(void* arguments);
jint CreateJavaVm(JavaVM** javaVm, void** env, void* arguments);
jclass FindClassFromBootLoader(const char* name);

// Method signatures the stand-in knows.
inline constexpr char kMainSignature[] = "([Ljava/lang/String;)V";
inline constexpr char kIntSecondaryMainSignature[] = "([Ljava/lang/String;)I";
inline constexpr char kPrintStackTraceSignature[] = "(Ljava/io/PrintStream;)V";
inline constexpr char kByteArrayOutputStream[] = "java/io/ByteArrayOutputStream";
inline constexpr char kPrintStream[] = "java/io/PrintStream";
inline constexpr char kCheckAndLoadMainSignature[] = "(ZILjava/lang/String;)Ljava/lang/Class;";
inline constexpr char kLauncherHelper[] = "sun/launcher/LauncherHelper";

} // namespace tala::test::standin
