// The stand-in VM library in a runtime's jvm.dll place: records, plays its scenario, checks JNI's rules (README.md).
#include "tests/windows/standin/StandInFormat.h"
#include "vm/Jdk11InitArgs.h"

#include <jni.h>

#include <windows.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using tala::test::standin::kStandInFailureExitCode;

struct Object {
    std::string type;           // the class's name, with "/"
    std::string name;           // of a class object: the class it stands for
    std::u16string text;        // String, char[], ByteArrayOutputStream
    std::vector<Object*> items; // Object[]; a PrintStream's target
};

struct Method {
    const char* type; // empty: the application's main class
    const char* name;
    const char* signature;
    bool isStatic;
};

constexpr Method kMethods[] = {
    {"java/lang/String", "<init>", "([C)V", false},
    {"java/lang/System", "exit", "(I)V", true},
    {"sun/launcher/LauncherHelper", "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;", true},
    {"java/io/ByteArrayOutputStream", "<init>", "()V", false},
    {"java/io/ByteArrayOutputStream", "toString", "()Ljava/lang/String;", false},
    {"java/io/PrintStream", "<init>", "(Ljava/io/OutputStream;)V", false},
    {"java/lang/Throwable", "printStackTrace", "(Ljava/io/PrintStream;)V", false},
    {"", "main", "([Ljava/lang/String;)V", true},
    {"", "secondaryMain", "([Ljava/lang/String;)V", true},
    {"", "secondaryMain", "([Ljava/lang/String;)I", true},
};

std::string Utf8(std::u16string_view text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(
        CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), bytes.data(),
        static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::string Dotted(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '.');
    return name;
}

// The calling thread's stack reservation: the regions of a local's allocation.
[[maybe_unused]] std::size_t StackReservation()
{
    MEMORY_BASIC_INFORMATION region{};
    const int local = 0;
    ::VirtualQuery(&local, &region, sizeof region);
    const void* allocation = region.AllocationBase;
    std::size_t total = 0;
    for (auto* at = static_cast<const char*>(allocation);
         ::VirtualQuery(at, &region, sizeof region) != 0 && region.AllocationBase == allocation;
         at += region.RegionSize) {
        total += region.RegionSize;
    }
    return total;
}

// The one state of the library: exports and JNI tables carry no context.
class Vm {
public:
    std::recursive_mutex lock;
    JNINativeInterface_ functions{};
    JNIInvokeInterface_ invokeFunctions{};
    JNIEnv env{&functions};
    JavaVM vm{&invokeFunctions};
    void(JNICALL* exitHook)(jint) = nullptr;
    bool created = false;
    bool destroyed = false;
    std::set<DWORD> attached;
    std::map<DWORD, Object*> pending;

    void Record(const std::string& line)
    {
        const std::lock_guard guard(lock);
        const HANDLE file = ::CreateFileW((folder_ + tala::test::standin::kRecordFileName).c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(file, (line + "\n").data(), static_cast<DWORD>(line.size() + 1), &written, nullptr);
        ::CloseHandle(file);
    }

    [[noreturn]] void Fail(const std::string& what)
    {
        Record("failure " + what + " (thread " + Thread() + ")");
        ::ExitProcess(kStandInFailureExitCode);
    }

    std::string Thread()
    {
        const std::lock_guard guard(lock);
        return std::to_string(threads_.emplace(::GetCurrentThreadId(), threads_.size()).first->second);
    }

    std::string Scenario(const std::string& key, const std::string& fallback = "")
    {
        const std::lock_guard guard(lock);
        if (!scenarioRead_) ReadScenario();
        const auto found = scenario_.find(key);
        return found == scenario_.end() ? fallback : found->second;
    }
    jint Number(const std::string& key, jint fallback) { return std::stoi(Scenario(key, std::to_string(fallback))); }

    // Holds the thread at a point named in "hold" until released, a minute at most.
    void HoldAt(const std::string& point)
    {
        if ((" " + Scenario("hold") + " ").find(" " + point + " ") == std::string::npos) return;
        Record("held " + point);
        const std::wstring release =
            folder_ + tala::test::standin::kReleaseFileName + std::wstring(point.begin(), point.end());
        for (int waited = 0; waited < 60000 && ::GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
             waited += 20) {
            ::Sleep(20);
        }
    }

    Object* New(std::string type, std::string name = "")
    {
        Object* object = &objects_.emplace_back(Object{std::move(type), std::move(name), {}, {}});
        live_.insert(object);
        return object;
    }
    // The object behind a reference the launcher passes: one the VM handed out.
    Object* Use(void* reference)
    {
        auto* object = static_cast<Object*>(reference);
        if (object != nullptr && live_.count(object) == 0) Fail("a reference the VM never handed out");
        return object;
    }

    void Throw(const std::string& type) { pending[::GetCurrentThreadId()] = New(type); }
    Object* Pending() { return pending[::GetCurrentThreadId()]; }

    std::unique_lock<std::recursive_mutex> Enter(const char* function, bool allowedWithException = false)
    {
        std::unique_lock guard(lock);
        if (!created || destroyed) Fail(std::string(function) + " called without a live VM");
        if (attached.count(::GetCurrentThreadId()) == 0) Fail(std::string(function) + " called on a detached thread");
        if (Pending() != nullptr && !allowedWithException) Record(std::string("pending-exception ") + function);
        return guard;
    }

    bool ClassExists(const std::string& name)
    {
        if (name == "java/io/ByteArrayOutputStream" || name == "java/io/PrintStream") {
            return Scenario("printable-traces", "yes") == "yes";
        }
        return name == "java/lang/String" || name == "java/lang/System" || name == "java/lang/Throwable" ||
               (!name.empty() && name == Scenario("main-class"));
    }

    Vm()
    {
        static const int anchor = 0;
        HMODULE module = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&anchor), &module);
        std::wstring path(2048, L'\0');
        path.resize(::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
        folder_ = path.substr(0, path.rfind(L'\\') + 1);
    }

private:
    void ReadScenario()
    {
        static const std::set<std::string> kKeys = {"create-result", "default-java-stack-size", "main-class", "main",
                                                    "launcher-helper", "secondary-main", "secondary-result",
                                                    "printable-traces", "hold", "trace-lines"};
        scenarioRead_ = true;
        std::ifstream lines(std::filesystem::path(folder_ + tala::test::standin::kScenarioFileName));
        for (std::string line; std::getline(lines, line);) {
            const std::size_t equals = line.find('=');
            if (line.empty()) continue;
            if (equals == std::string::npos || kKeys.count(line.substr(0, equals)) == 0) {
                Fail("scenario line not understood: " + line);
            }
            scenario_[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }

    std::wstring folder_;
    bool scenarioRead_ = false;
    std::map<std::string, std::string> scenario_;
    std::map<DWORD, std::size_t> threads_;
    std::deque<Object> objects_;
    std::set<const Object*> live_;
};

Vm& V()
{
    static Vm vm;
    return vm;
}

template <typename Reference>
Reference Handed(Object* object) { return reinterpret_cast<Reference>(object); }

[[noreturn]] void SystemExit(jint status)
{
    V().Record("exit-hook " + std::to_string(status));
    // A runtime calls the launcher's hook, then ends the process itself.
    if (V().exitHook != nullptr) V().exitHook(status);
    ::ExitProcess(static_cast<UINT>(status));
}

std::vector<std::u16string> RecordCall(const std::string& method, Object* array)
{
    if (array == nullptr || array->type != "[Ljava/lang/String;") V().Fail(method + " wants a String[]");
    V().Record("call " + method + " " + V().Thread());
    std::vector<std::u16string> words;
    for (const Object* element : array->items) words.push_back(element == nullptr ? u"" : element->text);
    for (const std::u16string& word : words) V().Record("argument " + Utf8(word));
    return words;
}

// main plays "exit N" (System.exit(N)) and "throw" (an exception left pending).
void RunMain(Object* arguments)
{
    const std::vector<std::u16string> words = RecordCall("main", arguments);
    if (words.size() >= 2 && words[0] == u"exit") SystemExit(std::stoi(Utf8(words[1])));
    if (!words.empty() && words[0] == u"throw") V().Throw("java/lang/IllegalStateException");
    // Without the lock (held once by the call), so a later start's hand-off can call in meanwhile.
    V().lock.unlock();
    V().HoldAt("main");
    V().lock.lock();
}

void PrintStackTrace(const Object& thrown, Object* print)
{
    if (print == nullptr || print->type != "java/io/PrintStream") V().Fail("printStackTrace wants a PrintStream");
    std::string trace = Dotted(thrown.type) + "\r\n\tat " + Dotted(V().Scenario("main-class"));
    trace += ".main(App.java:3)\r\n";
    for (int line = V().Number("trace-lines", 0); line > 0; --line) trace += "\tat shop.Step.run(Step.java:9)\r\n";
    print->items.front()->text.append(trace.begin(), trace.end());
}

Object* CheckAndLoadMain(const Object& name)
{
    V().Record("check-and-load-main " + Utf8(name.text));
    const std::string mainClass = V().Scenario("main-class");
    if (!mainClass.empty() && Utf8(name.text) == Dotted(mainClass)) return V().New("java/lang/Class", mainClass);
    V().Throw("java/lang/NoClassDefFoundError");
    return nullptr;
}

enum class Form { New, Instance, Static };

// Every call ends here: the method must suit the call form and the result asked for.
jvalue Invoke(Form form, char result, void* target, jmethodID id, va_list list)
{
    const auto guard = V().Enter("a Call or NewObject function");
    const std::size_t index = reinterpret_cast<std::size_t>(id) - 1;
    if (index >= std::size(kMethods)) V().Fail("a method the VM never handed out");
    const Method& method = kMethods[index];
    Object* receiver = V().Use(target);
    const std::string signature = method.signature;
    const char returns = signature.back() == ';' ? 'L' : signature.back();
    if (receiver == nullptr || method.isStatic != (form == Form::Static) ||
        (method.name == std::string("<init>")) != (form == Form::New) || returns != result) {
        V().Fail(std::string("a call form that does not suit ") + method.name + signature);
    }
    // The parameters of the known methods: booleans, ints, then objects.
    std::vector<jvalue> arguments;
    for (std::size_t at = 1; signature[at] != ')'; ++at) {
        jvalue value{};
        if (signature[at] == 'Z' || signature[at] == 'I') {
            value.i = va_arg(list, jint);
        } else {
            value.l = va_arg(list, jobject);
            while (signature[at] == '[') ++at;
            if (signature[at] == 'L') at = signature.find(';', at);
        }
        arguments.push_back(value);
    }
    Object* first = signature[1] == 'L' || signature[1] == '[' ? V().Use(arguments.front().l) : nullptr;
    const std::string name = method.name;
    jvalue value{};
    if (name == "<init>") {
        Object* made = V().New(method.type);
        if (made->type == "java/lang/String") made->text = first->text;
        if (made->type == "java/io/PrintStream") made->items.push_back(first);
        value.l = Handed<jobject>(made);
    } else if (name == "main") {
        RunMain(first);
    } else if (name == "secondaryMain") {
        RecordCall(name, first);
        value.i = V().Number("secondary-result", 0);
    } else if (name == "printStackTrace") {
        PrintStackTrace(*receiver, first);
    } else if (name == "toString") {
        Object* text = V().New("java/lang/String");
        text->text = receiver->text;
        value.l = Handed<jobject>(text);
    } else if (name == "checkAndLoadMain") {
        value.l = Handed<jobject>(CheckAndLoadMain(*V().Use(arguments.at(2).l)));
    } else {
        SystemExit(arguments.at(0).i);
    }
    return value;
}

template <typename Result, typename Target, Form CallForm, char Returns>
Result JNICALL Call(JNIEnv*, Target target, jmethodID id, va_list list)
{
    const jvalue value = Invoke(CallForm, Returns, target, id, list);
    if constexpr (std::is_same_v<Result, jint>) return value.i;
    if constexpr (std::is_pointer_v<Result>) return reinterpret_cast<Result>(value.l);
}

// Whether the application's class has this method of the table.
bool InMainClass(const Method& method)
{
    if (method.name == std::string("main")) return V().Scenario("main").rfind("absent", 0) != 0;
    const std::string secondary = V().Scenario("secondary-main", "absent");
    return secondary != "absent" && std::string(method.signature).back() == (secondary == "int" ? 'I' : 'V');
}

template <bool IsStatic>
jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature)
{
    const auto guard = V().Enter("GetMethodID");
    const Object* owner = V().Use(type);
    if (owner == nullptr || owner->type != "java/lang/Class") V().Fail("a method looked up on no class");
    const bool ofMain = owner->name == V().Scenario("main-class");
    const bool thrown = owner->name.ends_with("Exception") || owner->name.ends_with("Error");
    for (std::size_t i = 0; i < std::size(kMethods); ++i) {
        const Method& method = kMethods[i];
        const bool typeFits = *method.type == '\0' ? ofMain && InMainClass(method)
                                                   : owner->name == method.type ||
                                                         (thrown && method.type == std::string("java/lang/Throwable"));
        if (typeFits && method.name == std::string(name) && method.signature == std::string(signature) &&
            method.isStatic == IsStatic) {
            return reinterpret_cast<jmethodID>(i + 1);
        }
    }
    // A real VM always throws here; the scenario can leave that out for main.
    if (!ofMain || name != std::string("main") || V().Scenario("main") != "absent") {
        V().Throw("java/lang/NoSuchMethodError");
    }
    return nullptr;
}

// The JNI functions a launcher needs: x64 has one calling convention, so plain lambdas fill the tables.
[[maybe_unused]] void Fill(JNINativeInterface_& f, JNIInvokeInterface_& invoke)
{
    f.FindClass = [](JNIEnv*, const char* name) -> jclass {
        const auto guard = V().Enter("FindClass");
        const bool found = V().ClassExists(name);
        V().Record(std::string("find-class ") + name + (found ? " found" : " none"));
        if (!found) V().Throw("java/lang/NoClassDefFoundError");
        return found ? Handed<jclass>(V().New("java/lang/Class", name)) : nullptr;
    };
    f.GetObjectClass = [](JNIEnv*, jobject object) {
        const auto guard = V().Enter("GetObjectClass");
        return Handed<jclass>(V().New("java/lang/Class", V().Use(object)->type));
    };
    f.GetMethodID = &GetMethodID<false>;
    f.GetStaticMethodID = &GetMethodID<true>;
    f.ExceptionOccurred = [](JNIEnv*) {
        const auto guard = V().Enter("ExceptionOccurred", true);
        return Handed<jthrowable>(V().Pending());
    };
    f.ExceptionDescribe = [](JNIEnv*) {
        const auto guard = V().Enter("ExceptionDescribe", true);
        V().Record("exception-describe " + (V().Pending() == nullptr ? std::string("none") : V().Pending()->type));
        V().pending.erase(::GetCurrentThreadId());
    };
    f.ExceptionClear = [](JNIEnv*) {
        const auto guard = V().Enter("ExceptionClear", true);
        V().pending.erase(::GetCurrentThreadId());
    };
    f.DeleteLocalRef = [](JNIEnv*, jobject reference) {
        const auto guard = V().Enter("DeleteLocalRef", true);
        V().Use(reference);
    };
    f.NewCharArray = [](JNIEnv*, jsize length) {
        const auto guard = V().Enter("NewCharArray");
        Object* array = V().New("[C");
        array->text.assign(static_cast<std::size_t>(length), u'\0');
        return Handed<jcharArray>(array);
    };
    f.SetCharArrayRegion = [](JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* units) {
        const auto guard = V().Enter("SetCharArrayRegion");
        Object* chars = V().Use(array);
        if (chars == nullptr || start < 0 || length < 0 ||
            static_cast<std::size_t>(start + length) > chars->text.size()) {
            V().Fail("SetCharArrayRegion outside a char[]");
        }
        std::copy(units, units + length, chars->text.begin() + start);
    };
    f.NewObjectArray = [](JNIEnv*, jsize length, jclass type, jobject initial) {
        const auto guard = V().Enter("NewObjectArray");
        Object* array = V().New("[L" + V().Use(type)->name + ";");
        array->items.assign(static_cast<std::size_t>(length), V().Use(initial));
        return Handed<jobjectArray>(array);
    };
    f.SetObjectArrayElement = [](JNIEnv*, jobjectArray array, jsize index, jobject value) {
        const auto guard = V().Enter("SetObjectArrayElement");
        Object* items = V().Use(array);
        if (items == nullptr || index < 0 || static_cast<std::size_t>(index) >= items->items.size()) {
            V().Fail("SetObjectArrayElement outside an Object[]");
        }
        items->items[static_cast<std::size_t>(index)] = V().Use(value);
    };
    // Modified UTF-8 differs only for NUL and surrogate pairs, which no text here holds.
    f.GetStringUTFChars = [](JNIEnv*, jstring text, jboolean* isCopy) {
        const auto guard = V().Enter("GetStringUTFChars");
        if (isCopy != nullptr) *isCopy = JNI_TRUE;
        return V().New(Utf8(V().Use(text)->text))->type.c_str();
    };
    f.ReleaseStringUTFChars = [](JNIEnv*, jstring, const char*) { V().Enter("ReleaseStringUTFChars", true); };
    // jni.h's C++ wrappers hand every "..." call on to its va_list form.
    f.NewObjectV = &Call<jobject, jclass, Form::New, 'V'>;
    f.CallObjectMethodV = &Call<jobject, jobject, Form::Instance, 'L'>;
    f.CallVoidMethodV = &Call<void, jobject, Form::Instance, 'V'>;
    f.CallStaticObjectMethodV = &Call<jobject, jclass, Form::Static, 'L'>;
    f.CallStaticVoidMethodV = &Call<void, jclass, Form::Static, 'V'>;
    f.CallStaticIntMethodV = &Call<jint, jclass, Form::Static, 'I'>;
    invoke.DestroyJavaVM = [](JavaVM*) -> jint {
        const std::lock_guard guard(V().lock);
        V().Record("call DestroyJavaVM " + V().Thread());
        if (!V().created || V().destroyed) V().Fail("DestroyJavaVM without a live VM");
        V().destroyed = true;
        return JNI_OK;
    };
    invoke.AttachCurrentThread = [](JavaVM*, void** env, void*) -> jint {
        const std::lock_guard guard(V().lock);
        V().Record("call AttachCurrentThread " + V().Thread());
        if (!V().created || V().destroyed) V().Fail("AttachCurrentThread without a live VM");
        V().attached.insert(::GetCurrentThreadId());
        *env = &V().env;
        return JNI_OK;
    };
    invoke.DetachCurrentThread = [](JavaVM*) -> jint {
        V().HoldAt("detach");
        const std::lock_guard guard(V().lock);
        V().Record("call DetachCurrentThread " + V().Thread());
        return V().attached.erase(::GetCurrentThreadId()) != 0 ? JNI_OK : JNI_EDETACHED;
    };
}

} // namespace

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments)
{
    V().Record("call JNI_GetDefaultJavaVMInitArgs " + V().Thread());
    static_cast<tala::Jdk11InitArgs*>(arguments)->javaStackSize = V().Number("default-java-stack-size", 1048576);
    // As current runtimes do: the old record is filled in, yet refused.
    return JNI_ERR;
}

#ifndef TALA_STANDIN_WITHOUT_CREATE
JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** javaVm, void** env, void* arguments)
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    V().Record("call JNI_CreateJavaVM " + V().Thread() + " " + std::to_string(now.QuadPart));
    V().HoldAt("create");
    const std::lock_guard guard(V().lock);
    const auto* init = static_cast<const JavaVMInitArgs*>(arguments);
    V().Record("init-args " + std::to_string(init->version) + " " + std::to_string(init->ignoreUnrecognized));
    for (const JavaVMOption& option : std::span(init->options, static_cast<std::size_t>(init->nOptions))) {
        V().Record(std::string("option ") + (option.extraInfo != nullptr ? "hook " : "none ") + option.optionString);
        if (option.extraInfo != nullptr && option.optionString == std::string("exit")) {
            V().exitHook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
        }
    }
    for (const std::u16string name : {u"TALA_JVM_PATH", u"TALA_JVM_HOME", u"Path"}) {
        std::u16string value(32767, u'\0');
        ::SetLastError(ERROR_SUCCESS);
        value.resize(::GetEnvironmentVariableW(reinterpret_cast<LPCWSTR>(name.c_str()),
                                               reinterpret_cast<LPWSTR>(value.data()), 32767));
        const bool set = ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
        V().Record("env " + Utf8(name) + (set ? " " + Utf8(value) : ""));
    }
    V().Record("stack-reserve " + std::to_string(StackReservation()));
    const jint result = V().created ? JNI_EEXIST : V().Number("create-result", JNI_OK);
    if (result != JNI_OK) return result;
    Fill(V().functions, V().invokeFunctions);
    V().created = true;
    V().attached.insert(::GetCurrentThreadId());
    *javaVm = &V().vm;
    *env = &V().env;
    return JNI_OK;
}
#endif

#ifndef TALA_STANDIN_WITHOUT_BOOT_LOADER
extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv*, const char* name)
{
    const auto guard = V().Enter("JVM_FindClassFromBootLoader");
    const bool found =
        name == std::string("sun/launcher/LauncherHelper") && V().Scenario("launcher-helper") != "absent";
    V().Record(std::string("boot-loader-class ") + name + (found ? " found" : " none"));
    return found ? Handed<jclass>(V().New("java/lang/Class", name)) : nullptr;
}
#endif
