// The JNI functions of the stand-in: the few a launcher needs to find a main
// class, build strings and a String[], call main and look at exceptions, each
// checking its arguments the way a checking JVM would. Every other slot of
// the table is a trap that records its name and ends the process.
#include "tests/windows/standin/StandIn.h"

#include "tests/windows/standin/StandInFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace tala::test::standin {
namespace {

// The slots of the JNI function table by name, for the trap's record line.
#define TALA_JNI_SLOTS(X)                                                                          \
    X(GetVersion) X(DefineClass) X(FindClass) X(FromReflectedMethod) X(FromReflectedField)         \
    X(ToReflectedMethod) X(GetSuperclass) X(IsAssignableFrom) X(ToReflectedField) X(Throw)         \
    X(ThrowNew) X(ExceptionOccurred) X(ExceptionDescribe) X(ExceptionClear) X(FatalError)          \
    X(PushLocalFrame) X(PopLocalFrame) X(NewGlobalRef) X(DeleteGlobalRef) X(DeleteLocalRef)        \
    X(IsSameObject) X(NewLocalRef) X(EnsureLocalCapacity) X(AllocObject) X(NewObject)              \
    X(NewObjectV) X(NewObjectA) X(GetObjectClass) X(IsInstanceOf) X(GetMethodID)                   \
    X(CallObjectMethod) X(CallObjectMethodV) X(CallObjectMethodA) X(CallBooleanMethod)             \
    X(CallBooleanMethodV) X(CallBooleanMethodA) X(CallByteMethod) X(CallByteMethodV)               \
    X(CallByteMethodA) X(CallCharMethod) X(CallCharMethodV) X(CallCharMethodA)                     \
    X(CallShortMethod) X(CallShortMethodV) X(CallShortMethodA) X(CallIntMethod)                    \
    X(CallIntMethodV) X(CallIntMethodA) X(CallLongMethod) X(CallLongMethodV) X(CallLongMethodA)    \
    X(CallFloatMethod) X(CallFloatMethodV) X(CallFloatMethodA) X(CallDoubleMethod)                 \
    X(CallDoubleMethodV) X(CallDoubleMethodA) X(CallVoidMethod) X(CallVoidMethodV)                 \
    X(CallVoidMethodA) X(CallNonvirtualObjectMethod) X(CallNonvirtualObjectMethodV)                \
    X(CallNonvirtualObjectMethodA) X(CallNonvirtualBooleanMethod)                                  \
    X(CallNonvirtualBooleanMethodV) X(CallNonvirtualBooleanMethodA) X(CallNonvirtualByteMethod)    \
    X(CallNonvirtualByteMethodV) X(CallNonvirtualByteMethodA) X(CallNonvirtualCharMethod)          \
    X(CallNonvirtualCharMethodV) X(CallNonvirtualCharMethodA) X(CallNonvirtualShortMethod)         \
    X(CallNonvirtualShortMethodV) X(CallNonvirtualShortMethodA) X(CallNonvirtualIntMethod)         \
    X(CallNonvirtualIntMethodV) X(CallNonvirtualIntMethodA) X(CallNonvirtualLongMethod)            \
    X(CallNonvirtualLongMethodV) X(CallNonvirtualLongMethodA) X(CallNonvirtualFloatMethod)         \
    X(CallNonvirtualFloatMethodV) X(CallNonvirtualFloatMethodA) X(CallNonvirtualDoubleMethod)      \
    X(CallNonvirtualDoubleMethodV) X(CallNonvirtualDoubleMethodA) X(CallNonvirtualVoidMethod)      \
    X(CallNonvirtualVoidMethodV) X(CallNonvirtualVoidMethodA) X(GetFieldID) X(GetObjectField)      \
    X(GetBooleanField) X(GetByteField) X(GetCharField) X(GetShortField) X(GetIntField)             \
    X(GetLongField) X(GetFloatField) X(GetDoubleField) X(SetObjectField) X(SetBooleanField)        \
    X(SetByteField) X(SetCharField) X(SetShortField) X(SetIntField) X(SetLongField)                \
    X(SetFloatField) X(SetDoubleField) X(GetStaticMethodID) X(CallStaticObjectMethod)              \
    X(CallStaticObjectMethodV) X(CallStaticObjectMethodA) X(CallStaticBooleanMethod)               \
    X(CallStaticBooleanMethodV) X(CallStaticBooleanMethodA) X(CallStaticByteMethod)                \
    X(CallStaticByteMethodV) X(CallStaticByteMethodA) X(CallStaticCharMethod)                      \
    X(CallStaticCharMethodV) X(CallStaticCharMethodA) X(CallStaticShortMethod)                     \
    X(CallStaticShortMethodV) X(CallStaticShortMethodA) X(CallStaticIntMethod)                     \
    X(CallStaticIntMethodV) X(CallStaticIntMethodA) X(CallStaticLongMethod)                        \
    X(CallStaticLongMethodV) X(CallStaticLongMethodA) X(CallStaticFloatMethod)                     \
    X(CallStaticFloatMethodV) X(CallStaticFloatMethodA) X(CallStaticDoubleMethod)                  \
    X(CallStaticDoubleMethodV) X(CallStaticDoubleMethodA) X(CallStaticVoidMethod)                  \
    X(CallStaticVoidMethodV) X(CallStaticVoidMethodA) X(GetStaticFieldID)                          \
    X(GetStaticObjectField) X(GetStaticBooleanField) X(GetStaticByteField)                         \
    X(GetStaticCharField) X(GetStaticShortField) X(GetStaticIntField) X(GetStaticLongField)        \
    X(GetStaticFloatField) X(GetStaticDoubleField) X(SetStaticObjectField)                         \
    X(SetStaticBooleanField) X(SetStaticByteField) X(SetStaticCharField) X(SetStaticShortField)    \
    X(SetStaticIntField) X(SetStaticLongField) X(SetStaticFloatField) X(SetStaticDoubleField)      \
    X(NewString) X(GetStringLength) X(GetStringChars) X(ReleaseStringChars) X(NewStringUTF)        \
    X(GetStringUTFLength) X(GetStringUTFChars) X(ReleaseStringUTFChars) X(GetArrayLength)          \
    X(NewObjectArray) X(GetObjectArrayElement) X(SetObjectArrayElement) X(NewBooleanArray)         \
    X(NewByteArray) X(NewCharArray) X(NewShortArray) X(NewIntArray) X(NewLongArray)                \
    X(NewFloatArray) X(NewDoubleArray) X(GetBooleanArrayElements) X(GetByteArrayElements)          \
    X(GetCharArrayElements) X(GetShortArrayElements) X(GetIntArrayElements)                        \
    X(GetLongArrayElements) X(GetFloatArrayElements) X(GetDoubleArrayElements)                     \
    X(ReleaseBooleanArrayElements) X(ReleaseByteArrayElements) X(ReleaseCharArrayElements)         \
    X(ReleaseShortArrayElements) X(ReleaseIntArrayElements) X(ReleaseLongArrayElements)            \
    X(ReleaseFloatArrayElements) X(ReleaseDoubleArrayElements) X(GetBooleanArrayRegion)            \
    X(GetByteArrayRegion) X(GetCharArrayRegion) X(GetShortArrayRegion) X(GetIntArrayRegion)        \
    X(GetLongArrayRegion) X(GetFloatArrayRegion) X(GetDoubleArrayRegion)                           \
    X(SetBooleanArrayRegion) X(SetByteArrayRegion) X(SetCharArrayRegion)                           \
    X(SetShortArrayRegion) X(SetIntArrayRegion) X(SetLongArrayRegion) X(SetFloatArrayRegion)       \
    X(SetDoubleArrayRegion) X(RegisterNatives) X(UnregisterNatives) X(MonitorEnter)                \
    X(MonitorExit) X(GetJavaVM) X(GetStringRegion) X(GetStringUTFRegion)                           \
    X(GetPrimitiveArrayCritical) X(ReleasePrimitiveArrayCritical) X(GetStringCritical)             \
    X(ReleaseStringCritical) X(NewWeakGlobalRef) X(DeleteWeakGlobalRef) X(ExceptionCheck)          \
    X(NewDirectByteBuffer) X(GetDirectBufferAddress) X(GetDirectBufferCapacity)                    \
    X(GetObjectRefType) X(GetModule)

struct SlotName {
    std::size_t slot;
    const char* name;
};

#define TALA_JNI_SLOT_NAME(function) {offsetof(JNINativeInterface_, function) / sizeof(void*), #function},
constexpr SlotName kSlotNames[] = {TALA_JNI_SLOTS(TALA_JNI_SLOT_NAME)};
#undef TALA_JNI_SLOT_NAME
#undef TALA_JNI_SLOTS

constexpr std::size_t kSlotCount = sizeof(JNINativeInterface_) / sizeof(void*);

std::string NameOfSlot(std::size_t slot)
{
    for (const SlotName& entry : kSlotNames) {
        if (entry.slot == slot) return entry.name;
    }
    return "slot " + std::to_string(slot); // a function newer than the list above
}

template <std::size_t Slot>
void JNICALL Trap()
{
    StandIn::Instance().Unexpected(NameOfSlot(Slot));
}

// The traps go into the table as plain addresses: each slot has a type of
// its own, and a trap never returns, so its arguments do not matter.
template <std::size_t... Slots>
void FillTraps(JNINativeInterface_& functions, std::index_sequence<Slots...>)
{
    using AnyFunction = void(JNICALL*)();
    const AnyFunction traps[] = {&Trap<Slots>...};
    static_assert(sizeof traps == sizeof functions);
    std::memcpy(&functions, traps, sizeof traps);
}

using Guard = std::lock_guard<std::recursive_mutex>;

StandIn& Vm()
{
    return StandIn::Instance();
}

// Java's own encoding for text given to native code: UTF-16 units one by
// one (a surrogate pair as two three-byte groups), NUL as two bytes.
std::string ModifiedUtf8(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t unit : text) {
        if (unit != 0 && unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit < 0x800) {
            bytes += static_cast<char>(0xC0 | (unit >> 6));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (unit >> 12));
            bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return bytes;
}

JavaObject* Expect(jobject reference, ObjectKind kind, const char* function, const char* what)
{
    JavaObject* object = Vm().Resolve(reference, function);
    if (object == nullptr) Vm().Fail(std::string(function) + " was given null for " + what);
    if (object->kind != kind) Vm().Fail(std::string(function) + " was given something else than " + what);
    return object;
}

bool InBounds(std::size_t size, jsize start, jsize length)
{
    return start >= 0 && length >= 0 &&
           static_cast<std::size_t>(start) + static_cast<std::size_t>(length) <= size;
}

// --- classes, methods, exceptions ----------------------------------------

jclass JNICALL FindClass(JNIEnv*, const char* name)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("FindClass");
    if (name == nullptr) Vm().Fail("FindClass was given no name");
    const bool found = Vm().ClassExists(name, false);
    Vm().Record("find-class " + QuoteBytes(name) + (found ? " found" : " none"));
    if (!found) {
        Vm().Throw("java/lang/NoClassDefFoundError");
        return nullptr;
    }
    return static_cast<jclass>(Vm().NewReference(Vm().ClassNamed(name)));
}

jclass JNICALL GetObjectClass(JNIEnv*, jobject object)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("GetObjectClass");
    const JavaObject* resolved = Vm().Resolve(object, "GetObjectClass");
    if (resolved == nullptr) Vm().Fail("GetObjectClass was given null");
    const std::string name = resolved->kind == ObjectKind::Class ? "java/lang/Class" : resolved->className;
    return static_cast<jclass>(Vm().NewReference(Vm().ClassNamed(name)));
}

jmethodID LookUpMethod(jclass type, const char* name, const char* signature, bool isStatic, const char* function)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall(function);
    const JavaObject* resolved = Expect(type, ObjectKind::Class, function, "a class");
    if (name == nullptr || signature == nullptr) Vm().Fail(std::string(function) + " was given no name or signature");
    return Vm().FindMethod(resolved->className, name, signature, isStatic);
}

jmethodID JNICALL GetMethodID(JNIEnv*, jclass type, const char* name, const char* signature)
{
    return LookUpMethod(type, name, signature, false, "GetMethodID");
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass type, const char* name, const char* signature)
{
    return LookUpMethod(type, name, signature, true, "GetStaticMethodID");
}

jthrowable JNICALL ExceptionOccurred(JNIEnv*)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("ExceptionOccurred", true);
    return static_cast<jthrowable>(Vm().NewReference(Vm().PendingException()));
}

void JNICALL ExceptionDescribe(JNIEnv*)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("ExceptionDescribe", true);
    const JavaObject* pending = Vm().PendingException();
    Vm().Record("exception-describe " + (pending == nullptr ? std::string("none") : QuoteBytes(pending->className)));
    Vm().ClearPendingException();
}

void JNICALL ExceptionClear(JNIEnv*)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("ExceptionClear", true);
    Vm().ClearPendingException();
}

void JNICALL DeleteLocalRef(JNIEnv*, jobject reference)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("DeleteLocalRef", true);
    Vm().DeleteReference(reference);
}

// --- strings and arrays --------------------------------------------------

jcharArray JNICALL NewCharArray(JNIEnv*, jsize length)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("NewCharArray");
    if (length < 0) {
        Vm().Throw("java/lang/NegativeArraySizeException");
        return nullptr;
    }
    JavaObject* array = Vm().NewObject(ObjectKind::CharArray, "[C");
    array->chars.assign(static_cast<std::size_t>(length), 0);
    return static_cast<jcharArray>(Vm().NewReference(array));
}

void JNICALL SetCharArrayRegion(JNIEnv*, jcharArray array, jsize start, jsize length, const jchar* units)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("SetCharArrayRegion");
    JavaObject* resolved = Expect(array, ObjectKind::CharArray, "SetCharArrayRegion", "a char[]");
    if (!InBounds(resolved->chars.size(), start, length)) {
        Vm().Throw("java/lang/ArrayIndexOutOfBoundsException");
        return;
    }
    if (length > 0 && units == nullptr) Vm().Fail("SetCharArrayRegion was given no characters");
    std::copy(units, units + length, resolved->chars.begin() + start);
}

jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass elementType, jobject initial)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("NewObjectArray");
    const JavaObject* type = Expect(elementType, ObjectKind::Class, "NewObjectArray", "a class");
    JavaObject* first = Vm().Resolve(initial, "NewObjectArray");
    if (length < 0) {
        Vm().Throw("java/lang/NegativeArraySizeException");
        return nullptr;
    }
    JavaObject* array = Vm().NewObject(ObjectKind::ObjectArray, "[L" + type->className + ";");
    array->elements.assign(static_cast<std::size_t>(length), first);
    return static_cast<jobjectArray>(Vm().NewReference(array));
}

void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array, jsize index, jobject value)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("SetObjectArrayElement");
    JavaObject* resolved = Expect(array, ObjectKind::ObjectArray, "SetObjectArrayElement", "an Object[]");
    JavaObject* element = Vm().Resolve(value, "SetObjectArrayElement");
    if (!InBounds(resolved->elements.size(), index, 1)) {
        Vm().Throw("java/lang/ArrayIndexOutOfBoundsException");
        return;
    }
    if (element != nullptr && resolved->className == "[Ljava/lang/String;" && element->kind != ObjectKind::String) {
        Vm().Throw("java/lang/ArrayStoreException");
        return;
    }
    resolved->elements[static_cast<std::size_t>(index)] = element;
}

jsize JNICALL GetArrayLength(JNIEnv*, jarray array)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("GetArrayLength");
    const JavaObject* resolved = Vm().Resolve(array, "GetArrayLength");
    if (resolved == nullptr) Vm().Fail("GetArrayLength was given null");
    if (resolved->kind == ObjectKind::CharArray) return static_cast<jsize>(resolved->chars.size());
    if (resolved->kind == ObjectKind::ObjectArray) return static_cast<jsize>(resolved->elements.size());
    Vm().Fail("GetArrayLength was given something else than an array");
}

const char* JNICALL GetStringUTFChars(JNIEnv*, jstring text, jboolean* isCopy)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("GetStringUTFChars");
    const JavaObject* resolved = Expect(text, ObjectKind::String, "GetStringUTFChars", "a String");
    const std::string bytes = ModifiedUtf8(resolved->text);
    char* copy = new char[bytes.size() + 1];
    std::memcpy(copy, bytes.c_str(), bytes.size() + 1);
    Vm().utfTexts.insert(copy);
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    return copy;
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring text, const char* chars)
{
    const Guard guard(Vm().lock);
    Vm().CheckCall("ReleaseStringUTFChars", true);
    Expect(text, ObjectKind::String, "ReleaseStringUTFChars", "a String");
    if (Vm().utfTexts.erase(chars) == 0) Vm().Fail("ReleaseStringUTFChars was given text GetStringUTFChars never gave");
    delete[] chars;
}

// --- calls ----------------------------------------------------------------

// The next parameter type of a signature from position at, which moves past it.
char NextParameter(const std::string& signature, std::size_t& at)
{
    const char type = signature[at];
    while (signature[at] == '[') ++at;
    if (signature[at] == 'L') at = signature.find(';', at);
    ++at;
    return type;
}

std::vector<jvalue> ReadArguments(const std::string& signature, va_list list)
{
    std::vector<jvalue> values;
    std::size_t at = 1; // behind "("
    while (at < signature.size() && signature[at] != ')') {
        jvalue value{};
        switch (NextParameter(signature, at)) {
        case 'Z': value.z = static_cast<jboolean>(va_arg(list, int)); break;
        case 'B': value.b = static_cast<jbyte>(va_arg(list, int)); break;
        case 'C': value.c = static_cast<jchar>(va_arg(list, int)); break;
        case 'S': value.s = static_cast<jshort>(va_arg(list, int)); break;
        case 'I': value.i = va_arg(list, jint); break;
        case 'J': value.j = va_arg(list, jlong); break;
        case 'F': value.f = static_cast<jfloat>(va_arg(list, double)); break;
        case 'D': value.d = va_arg(list, double); break;
        default: value.l = va_arg(list, jobject); break;
        }
        values.push_back(value);
    }
    return values;
}

char ReturnType(const std::string& signature)
{
    const std::size_t close = signature.find(')');
    return close + 1 < signature.size() ? signature[close + 1] : '?';
}

enum class CallForm { New, Instance, Static };

std::string Dotted(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '.');
    return name;
}

// The String[] a main or secondaryMain was given, one record line each.
void RecordArguments(const char* method, jobject arguments)
{
    StandIn& vm = Vm();
    const JavaObject* array = vm.Resolve(arguments, method);
    if (array == nullptr) {
        vm.Record("arguments null");
        return;
    }
    if (array->kind != ObjectKind::ObjectArray || array->className != "[Ljava/lang/String;") {
        vm.Fail(std::string(method) + " was given something else than a String[]");
    }
    vm.Record("arguments " + std::to_string(array->elements.size()));
    for (const JavaObject* element : array->elements) {
        vm.Record("argument " + (element == nullptr ? std::string("null") : Quote(element->text)));
    }
}

// Waits for the test's release file without the VM's lock, so that other
// threads (a later start's hand-off) can call into the VM meanwhile. The JNI
// function that called main holds the lock exactly once.
void WaitForRelease()
{
    StandIn& vm = Vm();
    const std::wstring release = vm.Folder() + kReleaseFileName;
    constexpr DWORD kStep = 20;
    constexpr DWORD kLongest = 60000;
    vm.lock.unlock();
    for (DWORD waited = 0; waited < kLongest && ::GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += kStep) {
        ::Sleep(kStep);
    }
    vm.lock.lock();
}

// main as the scenario plays it.
void RunMain(const jvalue* arguments)
{
    StandIn& vm = Vm();
    vm.Record("call main " + vm.ThreadField());
    RecordArguments("main", arguments[0].l);
    switch (vm.TheScenario().main) {
    case MainBehaviour::Throw:
        vm.Throw("java/lang/IllegalStateException");
        vm.Record("throws \"java/lang/IllegalStateException\"");
        break;
    case MainBehaviour::Exit: vm.SystemExit(vm.TheScenario().exitStatus);
    case MainBehaviour::Wait: WaitForRelease(); break;
    default: break;
    }
}

jint RunSecondaryMain(const jvalue* arguments)
{
    StandIn& vm = Vm();
    vm.Record("call secondaryMain " + vm.ThreadField());
    RecordArguments("secondaryMain", arguments[0].l);
    return vm.TheScenario().secondaryResult;
}

// printStackTrace(PrintStream): the text a runtime prints for an exception
// thrown by main, lines ended as on Windows.
void PrintStackTrace(const JavaObject& thrown, const jvalue* arguments)
{
    StandIn& vm = Vm();
    if (thrown.kind != ObjectKind::Throwable) vm.Fail("printStackTrace was called on something else than a Throwable");
    const JavaObject* print = Expect(arguments[0].l, ObjectKind::Stream, "printStackTrace", "a PrintStream");
    if (print->className != kPrintStream || print->elements.size() != 1) {
        vm.Fail("printStackTrace was given something else than a PrintStream");
    }
    vm.Record("print-stack-trace " + QuoteBytes(thrown.className));
    const std::string trace =
        Dotted(thrown.className) + "\r\n\tat " + Dotted(vm.TheScenario().mainClass) + ".main(App.java:3)\r\n";
    print->elements.front()->text.append(trace.begin(), trace.end());
}

jobject StreamText(const JavaObject& stream)
{
    StandIn& vm = Vm();
    if (stream.kind != ObjectKind::Stream || stream.className != kByteArrayOutputStream) {
        vm.Fail("toString was called on something else than a ByteArrayOutputStream");
    }
    JavaObject* text = vm.NewObject(ObjectKind::String, "java/lang/String");
    text->text = stream.text;
    return vm.NewReference(text);
}

// The constructors the stand-in knows: new String(char[]),
// new ByteArrayOutputStream() and new PrintStream(OutputStream).
jobject Construct(const char* function, const Method& method, const jvalue* arguments)
{
    StandIn& vm = Vm();
    if (method.className == kByteArrayOutputStream) {
        return vm.NewReference(vm.NewObject(ObjectKind::Stream, kByteArrayOutputStream));
    }
    if (method.className == kPrintStream) {
        JavaObject* target = Expect(arguments[0].l, ObjectKind::Stream, function, "an OutputStream");
        JavaObject* print = vm.NewObject(ObjectKind::Stream, kPrintStream);
        print->elements.push_back(target);
        return vm.NewReference(print);
    }
    const JavaObject* chars = Expect(arguments[0].l, ObjectKind::CharArray, function, "a char[]");
    JavaObject* text = vm.NewObject(ObjectKind::String, "java/lang/String");
    text->text.assign(chars->chars.begin(), chars->chars.end());
    return vm.NewReference(text);
}

jobject CheckAndLoadMain(const jvalue* arguments)
{
    StandIn& vm = Vm();
    const JavaObject* name = Expect(arguments[2].l, ObjectKind::String, "checkAndLoadMain", "a String");
    vm.Record("check-and-load-main " + Quote(name->text) + " " + std::to_string(arguments[0].z) + " " +
              std::to_string(arguments[1].i));
    const std::string dotted = Dotted(vm.TheScenario().mainClass);
    if (dotted.empty() || std::u16string(dotted.begin(), dotted.end()) != name->text) {
        vm.Throw("java/lang/NoClassDefFoundError");
        return nullptr;
    }
    return vm.NewReference(vm.ClassNamed(vm.TheScenario().mainClass));
}

// Every call form ends here: the method must suit the form and the result
// type the launcher asked for.
jvalue Invoke(const char* function, CallForm form, char wantedResult, jobject target, jmethodID id,
              const jvalue* arguments)
{
    StandIn& vm = Vm();
    vm.CheckCall(function);
    const Method* method = vm.ResolveMethod(id, function);
    const JavaObject* receiver = vm.Resolve(target, function);
    if (receiver == nullptr) vm.Fail(std::string(function) + " was given no object or class");
    const char result = ReturnType(method->signature);
    const bool resultFits = wantedResult == 'L' ? (result == 'L' || result == '[') : result == wantedResult;
    const bool isConstructor = method->name == "<init>";
    if (method->isStatic != (form == CallForm::Static) || isConstructor != (form == CallForm::New) || !resultFits) {
        vm.Fail(std::string(function) + " does not suit " + method->className + "." + method->name +
                method->signature);
    }
    if (form != CallForm::Instance && receiver->className != method->className) {
        vm.Fail(std::string(function) + " was given class " + receiver->className + " for a method of " +
                method->className);
    }
    jvalue value{};
    if (form == CallForm::New) {
        value.l = Construct(function, *method, arguments);
    } else if (method->name == "main") {
        RunMain(arguments);
    } else if (method->name == "secondaryMain") {
        value.i = RunSecondaryMain(arguments);
    } else if (method->name == "printStackTrace") {
        PrintStackTrace(*receiver, arguments);
    } else if (method->name == "toString") {
        value.l = StreamText(*receiver);
    } else if (method->name == "checkAndLoadMain") {
        value.l = CheckAndLoadMain(arguments);
    } else if (method->name == "exit") {
        vm.SystemExit(arguments[0].i);
    } else {
        vm.Fail(std::string(function) + " called a method the stand-in cannot run");
    }
    return value;
}

template <typename Result>
Result ResultOf(const jvalue& value)
{
    if constexpr (std::is_void_v<Result>) {
        return;
    } else if constexpr (std::is_same_v<Result, jint>) {
        return value.i;
    } else {
        return static_cast<Result>(value.l);
    }
}

// The three forms of one call function: with "...", with a va_list (V) and
// with a jvalue array (A).
template <typename Result, typename Target, CallForm Form, char WantedResult>
struct CallFunctions {
    static const char* Name(char suffix)
    {
        static const std::string names[] = {Base(), Base() + "V", Base() + "A"};
        return names[suffix == 'V' ? 1 : suffix == 'A' ? 2 : 0].c_str();
    }

    static std::string Base()
    {
        switch (Form) {
        case CallForm::New: return "NewObject";
        case CallForm::Instance: return WantedResult == 'V' ? "CallVoidMethod" : "CallObjectMethod";
        default: break;
        }
        return WantedResult == 'V' ? "CallStaticVoidMethod"
             : WantedResult == 'I' ? "CallStaticIntMethod"
                                   : "CallStaticObjectMethod";
    }

    static Result JNICALL WithArray(JNIEnv*, Target target, jmethodID id, const jvalue* arguments)
    {
        const Guard guard(Vm().lock);
        return ResultOf<Result>(Invoke(Name('A'), Form, WantedResult, target, id, arguments));
    }

    static Result JNICALL WithList(JNIEnv*, Target target, jmethodID id, va_list list)
    {
        const Guard guard(Vm().lock);
        const Method* method = Vm().ResolveMethod(id, Name('V'));
        const std::vector<jvalue> arguments = ReadArguments(method->signature, list);
        return ResultOf<Result>(Invoke(Name('V'), Form, WantedResult, target, id, arguments.data()));
    }

    static Result JNICALL WithDots(JNIEnv*, Target target, jmethodID id, ...)
    {
        const Guard guard(Vm().lock);
        const Method* method = Vm().ResolveMethod(id, Name(' '));
        va_list list;
        va_start(list, id);
        const std::vector<jvalue> arguments = ReadArguments(method->signature, list);
        va_end(list);
        return ResultOf<Result>(Invoke(Name(' '), Form, WantedResult, target, id, arguments.data()));
    }
};

using NewObjectFunctions = CallFunctions<jobject, jclass, CallForm::New, 'V'>;
using CallObjectFunctions = CallFunctions<jobject, jobject, CallForm::Instance, 'L'>;
using CallVoidFunctions = CallFunctions<void, jobject, CallForm::Instance, 'V'>;
using CallStaticObjectFunctions = CallFunctions<jobject, jclass, CallForm::Static, 'L'>;
using CallStaticVoidFunctions = CallFunctions<void, jclass, CallForm::Static, 'V'>;
using CallStaticIntFunctions = CallFunctions<jint, jclass, CallForm::Static, 'I'>;

} // namespace

void FillJniFunctions(JNINativeInterface_& functions)
{
    FillTraps(functions, std::make_index_sequence<kSlotCount>());
    functions.reserved0 = functions.reserved1 = functions.reserved2 = functions.reserved3 = nullptr;

    functions.FindClass = &FindClass;
    functions.GetObjectClass = &GetObjectClass;
    functions.GetMethodID = &GetMethodID;
    functions.GetStaticMethodID = &GetStaticMethodID;
    functions.ExceptionOccurred = &ExceptionOccurred;
    functions.ExceptionDescribe = &ExceptionDescribe;
    functions.ExceptionClear = &ExceptionClear;
    functions.DeleteLocalRef = &DeleteLocalRef;
    functions.NewCharArray = &NewCharArray;
    functions.SetCharArrayRegion = &SetCharArrayRegion;
    functions.NewObjectArray = &NewObjectArray;
    functions.SetObjectArrayElement = &SetObjectArrayElement;
    functions.GetArrayLength = &GetArrayLength;
    functions.GetStringUTFChars = &GetStringUTFChars;
    functions.ReleaseStringUTFChars = &ReleaseStringUTFChars;

    functions.NewObject = &NewObjectFunctions::WithDots;
    functions.NewObjectV = &NewObjectFunctions::WithList;
    functions.NewObjectA = &NewObjectFunctions::WithArray;
    functions.CallObjectMethod = &CallObjectFunctions::WithDots;
    functions.CallObjectMethodV = &CallObjectFunctions::WithList;
    functions.CallObjectMethodA = &CallObjectFunctions::WithArray;
    functions.CallVoidMethod = &CallVoidFunctions::WithDots;
    functions.CallVoidMethodV = &CallVoidFunctions::WithList;
    functions.CallVoidMethodA = &CallVoidFunctions::WithArray;
    functions.CallStaticObjectMethod = &CallStaticObjectFunctions::WithDots;
    functions.CallStaticObjectMethodV = &CallStaticObjectFunctions::WithList;
    functions.CallStaticObjectMethodA = &CallStaticObjectFunctions::WithArray;
    functions.CallStaticVoidMethod = &CallStaticVoidFunctions::WithDots;
    functions.CallStaticVoidMethodV = &CallStaticVoidFunctions::WithList;
    functions.CallStaticVoidMethodA = &CallStaticVoidFunctions::WithArray;
    functions.CallStaticIntMethod = &CallStaticIntFunctions::WithDots;
    functions.CallStaticIntMethodV = &CallStaticIntFunctions::WithList;
    functions.CallStaticIntMethodA = &CallStaticIntFunctions::WithArray;
}

} // namespace tala::test::standin
