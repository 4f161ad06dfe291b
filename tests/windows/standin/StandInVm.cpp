// The exports of the stand-in VM library and its invocation interface. The
// variants a test needs for a runtime that lacks an entry point are the same
// source built without that export (TALA_STANDIN_WITHOUT_...).
#include "tests/windows/standin/StandIn.h"

#include "vm/Jdk11InitArgs.h"
#include "tests/windows/standin/StandInFormat.h"

#include <cstdio>
#include <optional>

namespace tala::test::standin {
namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

std::string Hex(jint value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

std::optional<std::wstring> EnvironmentVariable(const wchar_t* name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

// What the system reserved for the calling thread's stack: the regions of
// the one allocation that holds a local variable of this function.
std::size_t StackReservation()
{
    MEMORY_BASIC_INFORMATION region{};
    const int local = 0;
    if (::VirtualQuery(&local, &region, sizeof region) == 0) return 0;
    const void* allocation = region.AllocationBase;
    std::size_t total = 0;
    const auto* at = static_cast<const char*>(allocation);
    while (::VirtualQuery(at, &region, sizeof region) != 0 && region.AllocationBase == allocation) {
        total += region.RegionSize;
        at += region.RegionSize;
    }
    return total;
}

void RecordEnvironment(StandIn& vm, const wchar_t* name)
{
    std::string line = "env ";
    for (const wchar_t* c = name; *c != L'\0'; ++c) line += static_cast<char>(*c);
    const std::optional<std::wstring> value = EnvironmentVariable(name);
    vm.Record(line + " " + (value ? Quote(std::u16string(value->begin(), value->end())) : std::string("unset")));
}

// --- the invocation interface ---------------------------------------------

jint JNICALL DestroyJavaVM(JavaVM*)
{
    StandIn& vm = StandIn::Instance();
    const Guard guard(vm.lock);
    vm.Record("call DestroyJavaVM " + vm.ThreadField());
    if (!vm.vmCreated) vm.Fail("DestroyJavaVM called without a VM");
    if (vm.vmDestroyed) vm.Fail("DestroyJavaVM called twice");
    vm.vmDestroyed = true;
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** env, void*)
{
    StandIn& vm = StandIn::Instance();
    const Guard guard(vm.lock);
    vm.Record("call AttachCurrentThread " + vm.ThreadField());
    if (!vm.vmCreated || vm.vmDestroyed) vm.Fail("AttachCurrentThread called without a live VM");
    vm.Attach();
    *env = &vm.env;
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM*)
{
    StandIn& vm = StandIn::Instance();
    const Guard guard(vm.lock);
    vm.Record("call DetachCurrentThread " + vm.ThreadField());
    return vm.Detach() ? JNI_OK : JNI_EDETACHED;
}

jint JNICALL GetEnv(JavaVM*, void** env, jint)
{
    StandIn& vm = StandIn::Instance();
    const Guard guard(vm.lock);
    vm.Record("call GetEnv " + vm.ThreadField());
    const bool attached = vm.vmCreated && !vm.vmDestroyed && vm.IsAttached();
    *env = attached ? &vm.env : nullptr;
    return attached ? JNI_OK : JNI_EDETACHED;
}

jint JNICALL AttachCurrentThreadAsDaemon(JavaVM*, void**, void*)
{
    StandIn::Instance().Unexpected("AttachCurrentThreadAsDaemon");
}

} // namespace

void FillInvokeFunctions(JNIInvokeInterface_& functions)
{
    functions.DestroyJavaVM = &DestroyJavaVM;
    functions.AttachCurrentThread = &AttachCurrentThread;
    functions.DetachCurrentThread = &DetachCurrentThread;
    functions.GetEnv = &GetEnv;
    functions.AttachCurrentThreadAsDaemon = &AttachCurrentThreadAsDaemon;
}

} // namespace tala::test::standin

namespace tala::test::standin {

jint GetDefaultInitArgs(void* arguments)
{
    StandIn& vm = StandIn::Instance();
    const std::lock_guard guard(vm.lock);
    auto* record = static_cast<Jdk11InitArgs*>(arguments);
    const jint javaStackSize = vm.TheScenario().defaultJavaStackSize;
    vm.Record("call JNI_GetDefaultJavaVMInitArgs " + vm.ThreadField() + " version=" +
              Hex(record == nullptr ? 0 : record->version) + " java-stack-size=" + std::to_string(javaStackSize));
    if (record == nullptr) vm.Fail("JNI_GetDefaultJavaVMInitArgs was given no record");
    record->javaStackSize = javaStackSize;
    // As current runtimes do: the old record is filled in, yet refused.
    return JNI_ERR;
}

jint CreateJavaVm(JavaVM** javaVm, void** env, void* arguments)
{
    StandIn& vm = StandIn::Instance();
    const std::lock_guard guard(vm.lock);
    vm.Record("call JNI_CreateJavaVM " + vm.ThreadField());
    const Scenario& scenario = vm.TheScenario();
    const auto* initArgs = static_cast<const JavaVMInitArgs*>(arguments);
    if (javaVm == nullptr || env == nullptr || initArgs == nullptr) vm.Fail("JNI_CreateJavaVM was given null");
    vm.Record("version " + Hex(initArgs->version));
    vm.Record("ignore-unrecognized " + std::to_string(initArgs->ignoreUnrecognized));
    if (initArgs->nOptions > 0 && initArgs->options == nullptr) vm.Fail("JNI_CreateJavaVM was given no options");
    for (jint i = 0; i < initArgs->nOptions; ++i) {
        const JavaVMOption& option = initArgs->options[i];
        if (option.optionString == nullptr) vm.Fail("an option without text");
        const std::string text = option.optionString;
        vm.Record("option " + QuoteBytes(text) + (option.extraInfo != nullptr ? " extra-info" : " none"));
        if (text == "exit" && option.extraInfo != nullptr) {
            vm.exitHook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
        } else if (text == "abort" && option.extraInfo != nullptr) {
            vm.abortHook = reinterpret_cast<void(JNICALL*)()>(option.extraInfo);
        }
    }
    RecordEnvironment(vm, L"TALA_JVM_PATH");
    RecordEnvironment(vm, L"TALA_JVM_HOME");
    RecordEnvironment(vm, L"Path");
    vm.Record("stack-reserve " + std::to_string(StackReservation()));

    const jint result = vm.vmCreated ? JNI_EEXIST : scenario.createResult;
    vm.Record("create-result " + std::to_string(result));
    if (result != JNI_OK) return result;
    vm.vmCreated = true;
    vm.Attach();
    *javaVm = &vm.vm;
    *env = &vm.env;
    return JNI_OK;
}

jclass FindClassFromBootLoader(const char* name)
{
    StandIn& vm = StandIn::Instance();
    const std::lock_guard guard(vm.lock);
    vm.CheckCall("JVM_FindClassFromBootLoader");
    if (name == nullptr) vm.Fail("JVM_FindClassFromBootLoader was given no name");
    const bool found = vm.ClassExists(name, true);
    vm.Record("boot-loader-class " + QuoteBytes(name) + (found ? " found" : " none"));
    return found ? static_cast<jclass>(vm.NewReference(vm.ClassNamed(name))) : nullptr;
}

} // namespace tala::test::standin

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
