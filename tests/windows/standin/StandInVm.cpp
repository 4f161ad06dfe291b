// The stand-in VM library: takes a Java runtime's jvm.dll place in the
// windows tier, where no Windows JVM can be installed. It records what the
// launcher gives it, plays the scenario the test wrote beside it, and checks
// what a checking JVM checks: the thread is attached, no exception is
// pending, the call form suits the method. A broken rule or a call it does
// not plan for is recorded and ends the process with kStandInFailureExitCode.
// README.md describes the scenario and the record. Test code, never shipped.
#include "tests/windows/standin/StandInFormat.h"
#include "vm/Jdk11InitArgs.h"

#include <jni.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tala::test::standin {
namespace {

struct Object {
    std::string type;            // the class's name, with "/"
    std::string name;            // of a class object: the class it stands for
    std::u16string text;         // String, char[], ByteArrayOutputStream
    std::vector<Object*> items;  // Object[]; a PrintStream's target
};

struct Method {
    const char* type; // empty: the application's main class
    const char* name;
    const char* signature;
    bool isStatic;
};

constexpr char kLauncherHelper[] = "sun/launcher/LauncherHelper";
constexpr char kBytesStream[] = "java/io/ByteArrayOutputStream";
constexpr char kPrintStream[] = "java/io/PrintStream";
constexpr Method kMethods[] = {
    {"java/lang/String", "<init>", "([C)V", false},
    {"java/lang/System", "exit", "(I)V", true},
    {kLauncherHelper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;", true},
    {kBytesStream, "<init>", "()V", false},
    {kBytesStream, "toString", "()Ljava/lang/String;", false},
    {kPrintStream, "<init>", "(Ljava/io/OutputStream;)V", false},
    {"java/lang/Throwable", "printStackTrace", "(Ljava/io/PrintStream;)V", false},
    {"", "main", "([Ljava/lang/String;)V", true},
    {"", "secondaryMain", "([Ljava/lang/String;)V", true},
    {"", "secondaryMain", "([Ljava/lang/String;)I", true},
};

std::string Utf8(std::u16string_view text)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    std::string bytes(static_cast<std::size_t>(length) * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Java's own encoding for text handed to native code: each UTF-16 unit on
// its own (a surrogate pair as two three-byte groups), NUL as two bytes.
std::string ModifiedUtf8(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t unit : text) {
        if (unit != 0 && unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit < 0x800) {
            bytes += {static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F))};
        } else {
            bytes += {static_cast<char>(0xE0 | (unit >> 12)), static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
                      static_cast<char>(0x80 | (unit & 0x3F))};
        }
    }
    return bytes;
}

std::string Dotted(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '.');
    return name;
}

// What the system reserved for the calling thread's stack: the regions of
// the allocation that holds a local variable of this function.
std::size_t StackReservation()
{
    MEMORY_BASIC_INFORMATION region{};
    const int local = 0;
    if (::VirtualQuery(&local, &region, sizeof region) == 0) return 0;
    const void* allocation = region.AllocationBase;
    std::size_t total = 0;
    for (auto* at = static_cast<const char*>(allocation);
         ::VirtualQuery(at, &region, sizeof region) != 0 && region.AllocationBase == allocation;
         at += region.RegionSize) {
        total += region.RegionSize;
    }
    return total;
}

// The one state of the library: the launcher reaches it through exported
// functions and tables that carry no context of their own.
class Vm {
public:
    static Vm& Get()
    {
        static Vm vm;
        return vm;
    }

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
    std::set<const char*> utfTexts;

    const std::wstring& Folder() const { return folder_; }

    void Record(const std::string& line)
    {
        const std::lock_guard guard(lock);
        const HANDLE file = ::CreateFileW((folder_ + kRecordFileName).c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        const std::string text = line + "\n";
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    [[noreturn]] void Fail(const std::string& what)
    {
        Record("failure " + what + " (thread " + Thread() + ")");
        ::ExitProcess(kStandInFailureExitCode);
    }

    // Threads numbered in the order they show up; the loading thread is 0.
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

    // Holds the calling thread at a point the scenario names in "hold"
    // until the test releases it (a minute at most).
    void HoldAt(const std::string& point)
    {
        if (point != "main" && (" " + Scenario("hold") + " ").find(" " + point + " ") == std::string::npos) return;
        Record("held " + point);
        const std::wstring release = folder_ + kReleaseFileName + (point == "main" ? L"" : L"-" + Wide(point));
        for (int waited = 0; waited < 60000 && ::GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
             waited += 20) {
            ::Sleep(20);
        }
    }

    Object* New(std::string type)
    {
        const std::lock_guard guard(lock);
        Object* object = &objects_.emplace_back();
        object->type = std::move(type);
        live_.insert(object);
        return object;
    }
    Object* ClassObject(const std::string& name)
    {
        Object* type = New("java/lang/Class");
        type->name = name;
        return type;
    }
    // The object behind a reference the launcher passes: one the VM handed out.
    Object* Use(void* reference, const char* function)
    {
        auto* object = static_cast<Object*>(reference);
        if (object != nullptr && live_.count(object) == 0) Fail(std::string(function) + " was given a foreign reference");
        return object;
    }

    void Throw(const std::string& type) { pending[::GetCurrentThreadId()] = New(type); }
    Object* Pending()
    {
        const auto found = pending.find(::GetCurrentThreadId());
        return found == pending.end() ? nullptr : found->second;
    }

    // The thread rules of JNI, checked as each function is entered.
    void Enter(const char* function, bool allowedWithException = false)
    {
        if (!created || destroyed) Fail(std::string(function) + " called without a live VM");
        if (attached.count(::GetCurrentThreadId()) == 0) Fail(std::string(function) + " called on a detached thread");
        if (Pending() != nullptr && !allowedWithException) Record(std::string("pending-exception ") + function);
    }

    bool ClassExists(const std::string& name)
    {
        if (name == kBytesStream || name == kPrintStream) return Scenario("printable-traces", "yes") == "yes";
        return name == "java/lang/String" || name == "java/lang/System" || name == "java/lang/Throwable" ||
               (!name.empty() && name == Scenario("main-class"));
    }

private:
    Vm()
    {
        static const int anchor = 0;
        HMODULE module = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&anchor), &module);
        std::wstring path(2048, L'\0');
        path.resize(::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
        folder_ = path.substr(0, path.rfind(L'\\') + 1);
        threads_.emplace(::GetCurrentThreadId(), 0);
    }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

    void ReadScenario()
    {
        static const std::set<std::string> kKeys = {
            "create-result", "default-java-stack-size", "main-class",     "main",   "launcher-helper",
            "secondary-main", "secondary-result",       "printable-traces", "hold", "trace-lines"};
        scenarioRead_ = true;
        std::string content;
        const HANDLE file = ::CreateFileW((folder_ + kScenarioFileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD read = 0;
        while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            content.append(buffer, read);
        }
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        std::istringstream lines(content);
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
    return Vm::Get();
}

using Guard = std::lock_guard<std::recursive_mutex>;

[[noreturn]] void Fail(const std::string& what)
{
    V().Fail(what);
}

[[noreturn]] void SystemExit(jint status)
{
    V().Record("exit-hook " + std::to_string(status));
    // A runtime calls the launcher's hook, then ends the process itself.
    if (V().exitHook != nullptr) V().exitHook(status);
    ::ExitProcess(static_cast<UINT>(status));
}

std::vector<std::u16string> Strings(Object* array, const char* function)
{
    if (array == nullptr || array->type != "[Ljava/lang/String;") Fail(std::string(function) + " wants a String[]");
    std::vector<std::u16string> strings;
    for (const Object* element : array->items) strings.push_back(element == nullptr ? u"" : element->text);
    return strings;
}

// main as a test program plays it: its first argument "exit" calls
// System.exit with the second, "throw" leaves an exception pending.
void RunMain(Object* arguments)
{
    Vm& vm = V();
    const std::vector<std::u16string> words = Strings(arguments, "main");
    vm.Record("call main " + vm.Thread());
    for (const std::u16string& word : words) vm.Record("argument " + Utf8(word));
    if (words.size() >= 2 && words[0] == u"exit") SystemExit(std::stoi(Utf8(words[1])));
    if (!words.empty() && words[0] == u"throw") vm.Throw("java/lang/IllegalStateException");
    if (vm.Scenario("main") == "wait") {
        // Without the lock, so a later start's hand-off can call in meanwhile;
        // the call that runs main holds it exactly once.
        vm.lock.unlock();
        vm.HoldAt("main");
        vm.lock.lock();
    }
}

// printStackTrace(PrintStream): what a runtime prints for main's exception.
void PrintStackTrace(const Object& thrown, Object* print)
{
    if (print == nullptr || print->type != kPrintStream) Fail("printStackTrace wants a PrintStream");
    std::string trace = Dotted(thrown.type) + "\r\n\tat " + Dotted(V().Scenario("main-class")) + ".main(App.java:3)\r\n";
    for (int line = V().Number("trace-lines", 0); line > 0; --line) trace += "\tat shop.Step.run(Step.java:9)\r\n";
    print->items.front()->text.append(trace.begin(), trace.end());
}

jobject CheckAndLoadMain(Object* name)
{
    if (name == nullptr || name->type != "java/lang/String") Fail("checkAndLoadMain wants a String");
    V().Record("check-and-load-main " + Utf8(name->text));
    const std::string mainClass = V().Scenario("main-class");
    if (mainClass.empty() || Utf8(name->text) != Dotted(mainClass)) {
        V().Throw("java/lang/NoClassDefFoundError");
        return nullptr;
    }
    return reinterpret_cast<jobject>(V().ClassObject(mainClass));
}

enum class Form { New, Instance, Static };

// Every call ends here: the method must suit the call form and the result
// the launcher asks for.
jvalue Invoke(const char* function, Form form, char result, void* target, jmethodID id, va_list list)
{
    Vm& vm = V();
    vm.Enter(function);
    const std::size_t index = reinterpret_cast<std::size_t>(id) - 1;
    if (index >= std::size(kMethods)) Fail(std::string(function) + " was given a method the VM never handed out");
    const Method& method = kMethods[index];
    Object* receiver = vm.Use(target, function);
    const std::string signature = method.signature;
    const char returns = signature.back() == ';' ? 'L' : signature.back();
    if (receiver == nullptr || method.isStatic != (form == Form::Static) ||
        (std::strcmp(method.name, "<init>") == 0) != (form == Form::New) || returns != result) {
        Fail(std::string(function) + " does not suit " + method.name + signature);
    }
    // The parameters of the known methods: a boolean, an int, then objects.
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
    const auto object = [&](std::size_t i) { return vm.Use(arguments.at(i).l, function); };
    const std::string name = method.name;
    jvalue value{};
    if (name == "<init>") {
        Object* made = vm.New(method.type);
        if (made->type == "java/lang/String") made->text = object(0)->text;
        if (made->type == kPrintStream) made->items.push_back(object(0));
        value.l = reinterpret_cast<jobject>(made);
    } else if (name == "main") {
        RunMain(object(0));
    } else if (name == "secondaryMain") {
        vm.Record("call secondaryMain " + vm.Thread());
        for (const std::u16string& word : Strings(object(0), function)) vm.Record("argument " + Utf8(word));
        value.i = vm.Number("secondary-result", 0);
    } else if (name == "printStackTrace") {
        PrintStackTrace(*receiver, object(0));
    } else if (name == "toString") {
        Object* text = vm.New("java/lang/String");
        text->text = receiver->text;
        value.l = reinterpret_cast<jobject>(text);
    } else if (name == "checkAndLoadMain") {
        value.l = CheckAndLoadMain(object(2));
    } else {
        SystemExit(arguments.at(0).i);
    }
    return value;
}

// --- the JNI functions a launcher needs ----------------------------------

jclass JNICALL FindClass(JNIEnv*, const char* name)
{
    const Guard guard(V().lock);
    V().Enter("FindClass");
    const bool found = V().ClassExists(name);
    V().Record(std::string("find-class ") + name + (found ? " found" : " none"));
    if (!found) V().Throw("java/lang/NoClassDefFoundError");
    return found ? reinterpret_cast<jclass>(V().ClassObject(name)) : nullptr;
}

jclass JNICALL GetObjectClass(JNIEnv*, jobject object)
{
    const Guard guard(V().lock);
    V().Enter("GetObjectClass");
    return reinterpret_cast<jclass>(V().ClassObject(V().Use(object, "GetObjectClass")->type));
}

// Whether the application's class has this method of the table.
bool InMainClass(const Method& method)
{
    if (method.name == std::string("main")) return V().Scenario("main").rfind("absent", 0) != 0;
    const std::string secondary = V().Scenario("secondary-main", "absent");
    return secondary != "absent" && std::string(method.signature).back() == (secondary == "int" ? 'I' : 'V');
}

jmethodID LookUp(jclass type, const char* name, const char* signature, bool isStatic)
{
    const Guard guard(V().lock);
    Vm& vm = V();
    vm.Enter("GetMethodID");
    const Object* owner = vm.Use(type, "GetMethodID");
    if (owner == nullptr || owner->type != "java/lang/Class") Fail("a method looked up on no class");
    const bool ofMain = owner->name == vm.Scenario("main-class");
    const bool thrown = owner->name.ends_with("Exception") || owner->name.ends_with("Error");
    for (std::size_t i = 0; i < std::size(kMethods); ++i) {
        const Method& method = kMethods[i];
        const bool typeFits = *method.type == '\0' ? ofMain && InMainClass(method)
                                                   : owner->name == method.type ||
                                                         (thrown && method.type == std::string("java/lang/Throwable"));
        if (typeFits && method.name == std::string(name) && method.signature == std::string(signature) &&
            method.isStatic == isStatic) {
            return reinterpret_cast<jmethodID>(i + 1);
        }
    }
    // A real VM always throws here; the scenario can leave that out, for a
    // class whose main is missing without an exception.
    if (!ofMain || name != std::string("main") || vm.Scenario("main") != "absent") {
        vm.Throw("java/lang/NoSuchMethodError");
    }
    return nullptr;
}

jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature)
{
    return LookUp(type, name, signature, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass type, const char* name, const char* signature)
{
    return LookUp(type, name, signature, true);
}

jthrowable JNICALL ExceptionOccurred(JNIEnv*)
{
    const Guard guard(V().lock);
    V().Enter("ExceptionOccurred", true);
    return reinterpret_cast<jthrowable>(V().Pending());
}

void JNICALL ExceptionDescribe(JNIEnv*)
{
    const Guard guard(V().lock);
    V().Enter("ExceptionDescribe", true);
    V().Record("exception-describe " + (V().Pending() == nullptr ? std::string("none") : V().Pending()->type));
    V().pending.erase(::GetCurrentThreadId());
}

void JNICALL ExceptionClear(JNIEnv*)
{
    const Guard guard(V().lock);
    V().Enter("ExceptionClear", true);
    V().pending.erase(::GetCurrentThreadId());
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject reference)
{
    const Guard guard(V().lock);
    V().Enter("DeleteLocalRef", true);
    V().Use(reference, "DeleteLocalRef");
}

jcharArray JNICALL NewCharArray(JNIEnv*, jsize length)
{
    const Guard guard(V().lock);
    V().Enter("NewCharArray");
    Object* array = V().New("[C");
    array->text.assign(static_cast<std::size_t>(length), u'\0');
    return reinterpret_cast<jcharArray>(array);
}

void JNICALL SetCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* units)
{
    const Guard guard(V().lock);
    V().Enter("SetCharArrayRegion");
    Object* chars = V().Use(array, "SetCharArrayRegion");
    if (chars == nullptr || chars->type != "[C" || start < 0 || length < 0 ||
        static_cast<std::size_t>(start + length) > chars->text.size()) {
        Fail("SetCharArrayRegion outside a char[]");
    }
    std::copy(units, units + length, chars->text.begin() + start);
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass type, jobject initial)
{
    const Guard guard(V().lock);
    V().Enter("NewObjectArray");
    Object* array = V().New("[L" + V().Use(type, "NewObjectArray")->name + ";");
    array->items.assign(static_cast<std::size_t>(length), V().Use(initial, "NewObjectArray"));
    return reinterpret_cast<jobjectArray>(array);
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value)
{
    const Guard guard(V().lock);
    V().Enter("SetObjectArrayElement");
    Object* items = V().Use(array, "SetObjectArrayElement");
    if (items == nullptr || index < 0 || static_cast<std::size_t>(index) >= items->items.size()) {
        Fail("SetObjectArrayElement outside an Object[]");
    }
    items->items[static_cast<std::size_t>(index)] = V().Use(value, "SetObjectArrayElement");
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring text, jboolean* isCopy)
{
    const Guard guard(V().lock);
    V().Enter("GetStringUTFChars");
    const std::string bytes = ModifiedUtf8(V().Use(text, "GetStringUTFChars")->text);
    char* copy = new char[bytes.size() + 1];
    std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    V().utfTexts.insert(copy);
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    return copy;
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* chars)
{
    const Guard guard(V().lock);
    V().Enter("ReleaseStringUTFChars", true);
    if (V().utfTexts.erase(chars) == 0) Fail("ReleaseStringUTFChars was given text it never gave");
    delete[] chars;
}

template <typename Result, typename Target, Form CallForm, char Returns>
Result JNICALL Call(JNIEnv*, Target target, jmethodID id, va_list list)
{
    const Guard guard(V().lock);
    const jvalue value = Invoke("a call", CallForm, Returns, target, id, list);
    if constexpr (std::is_same_v<Result, jint>) return value.i;
    if constexpr (std::is_pointer_v<Result>) return reinterpret_cast<Result>(value.l);
}

// --- the invocation interface ----------------------------------------------

jint JNICALL DestroyJavaVM(JavaVM*)
{
    const Guard guard(V().lock);
    V().Record("call DestroyJavaVM " + V().Thread());
    if (!V().created || V().destroyed) Fail("DestroyJavaVM without a live VM");
    V().destroyed = true;
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*)
{
    const Guard guard(V().lock);
    V().Record("call AttachCurrentThread " + V().Thread());
    if (!V().created || V().destroyed) Fail("AttachCurrentThread without a live VM");
    V().attached.insert(::GetCurrentThreadId());
    *env = &V().env;
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*)
{
    V().HoldAt("detach");
    const Guard guard(V().lock);
    V().Record("call DetachCurrentThread " + V().Thread());
    return V().attached.erase(::GetCurrentThreadId()) != 0 ? JNI_OK : JNI_EDETACHED;
}

template <std::size_t Slot>
void JNICALL Trap()
{
    Fail("a JNI function it does not plan for was called: slot " + std::to_string(Slot));
}

// Every slot a trap first; a trap never returns, so its type does not matter.
template <typename Table, std::size_t... Slots>
void FillTraps(Table& table, std::index_sequence<Slots...>)
{
    using AnyFunction = void(JNICALL*)();
    const AnyFunction traps[] = {&Trap<Slots>...};
    static_assert(sizeof traps == sizeof table);
    std::memcpy(&table, traps, sizeof traps);
}

void Fill(JNINativeInterface_& f, JNIInvokeInterface_& invoke)
{
    FillTraps(f, std::make_index_sequence<sizeof f / sizeof(void*)>());
    FillTraps(invoke, std::make_index_sequence<sizeof invoke / sizeof(void*)>());
    f.FindClass = &FindClass;
    f.GetObjectClass = &GetObjectClass;
    f.GetMethodID = &GetMethodID;
    f.GetStaticMethodID = &GetStaticMethodID;
    f.ExceptionOccurred = &ExceptionOccurred;
    f.ExceptionDescribe = &ExceptionDescribe;
    f.ExceptionClear = &ExceptionClear;
    f.DeleteLocalRef = &DeleteLocalRef;
    f.NewCharArray = &NewCharArray;
    f.SetCharArrayRegion = &SetCharArrayRegion;
    f.NewObjectArray = &NewObjectArray;
    f.SetObjectArrayElement = &SetObjectArrayElement;
    f.GetStringUTFChars = &GetStringUTFChars;
    f.ReleaseStringUTFChars = &ReleaseStringUTFChars;
    // jni.h's C++ wrappers hand every "..." call on to its va_list form.
    f.NewObjectV = &Call<jobject, jclass, Form::New, 'V'>;
    f.CallObjectMethodV = &Call<jobject, jobject, Form::Instance, 'L'>;
    f.CallVoidMethodV = &Call<void, jobject, Form::Instance, 'V'>;
    f.CallStaticObjectMethodV = &Call<jobject, jclass, Form::Static, 'L'>;
    f.CallStaticVoidMethodV = &Call<void, jclass, Form::Static, 'V'>;
    f.CallStaticIntMethodV = &Call<jint, jclass, Form::Static, 'I'>;
    invoke.reserved0 = invoke.reserved1 = invoke.reserved2 = nullptr;
    invoke.DestroyJavaVM = &DestroyJavaVM;
    invoke.AttachCurrentThread = &AttachCurrentThread;
    invoke.DetachCurrentThread = &DetachCurrentThread;
}

void RecordEnvironment(const wchar_t* name)
{
    std::wstring value(32767, L'\0');
    ::SetLastError(ERROR_SUCCESS);
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    const bool set = ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    const std::u16string text(value.begin(), value.end());
    V().Record("env " + Utf8(std::u16string(name, name + std::wcslen(name))) + (set ? " " + Utf8(text) : ""));
}

} // namespace

jint GetDefaultInitArgs(void* arguments)
{
    const Guard guard(V().lock);
    V().Record("call JNI_GetDefaultJavaVMInitArgs " + V().Thread());
    static_cast<Jdk11InitArgs*>(arguments)->javaStackSize = V().Number("default-java-stack-size", 1048576);
    // As current runtimes do: the old record is filled in, yet refused.
    return JNI_ERR;
}

jint CreateJavaVm(JavaVM** javaVm, void** env, void* arguments)
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    V().Record("call JNI_CreateJavaVM " + V().Thread() + " " + std::to_string(now.QuadPart));
    V().HoldAt("create");
    const Guard guard(V().lock);
    Vm& vm = V();
    const auto* init = static_cast<const JavaVMInitArgs*>(arguments);
    vm.Record("init-args " + std::to_string(init->version) + " " + std::to_string(init->ignoreUnrecognized));
    for (const JavaVMOption& option : std::span(init->options, static_cast<std::size_t>(init->nOptions))) {
        vm.Record(std::string("option ") + (option.extraInfo != nullptr ? "hook " : "none ") + option.optionString);
        if (option.extraInfo != nullptr && std::strcmp(option.optionString, "exit") == 0) {
            vm.exitHook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
        }
    }
    for (const wchar_t* name : {L"TALA_JVM_PATH", L"TALA_JVM_HOME", L"Path"}) RecordEnvironment(name);
    vm.Record("stack-reserve " + std::to_string(StackReservation()));
    const jint result = vm.created ? JNI_EEXIST : vm.Number("create-result", JNI_OK);
    if (result != JNI_OK) return result;
    Fill(vm.functions, vm.invokeFunctions);
    vm.created = true;
    vm.attached.insert(::GetCurrentThreadId());
    *javaVm = &vm.vm;
    *env = &vm.env;
    return JNI_OK;
}

jclass FindClassFromBootLoader(const char* name)
{
    const Guard guard(V().lock);
    V().Enter("JVM_FindClassFromBootLoader");
    const bool found = name == std::string(kLauncherHelper) && V().Scenario("launcher-helper") != "absent";
    V().Record(std::string("boot-loader-class ") + name + (found ? " found" : " none"));
    return found ? reinterpret_cast<jclass>(V().ClassObject(name)) : nullptr;
}

} // namespace tala::test::standin

// Builds the state on load, so the loading thread is thread 0 of the record.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) tala::test::standin::V();
    return TRUE;
}

#ifndef TALA_STANDIN_WITHOUT_DEFAULT_ARGS
JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments)
{
    return tala::test::standin::GetDefaultInitArgs(arguments);
}
#endif

#ifndef TALA_STANDIN_WITHOUT_CREATE
JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** javaVm, void** env, void* arguments)
{
    return tala::test::standin::CreateJavaVm(javaVm, env, arguments);
}
#endif

#ifndef TALA_STANDIN_WITHOUT_BOOT_LOADER
extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv*, const char* name)
{
    return tala::test::standin::FindClassFromBootLoader(name);
}
#endif
