// hold-jvm.dll, test code: takes the runtime's jvm.dll place in the splash
// tests and hands every call to the stand-in VM library beside it
// (standin-jvm.dll), but holds the launcher's Java thread while the test
// looks: at the start of JNI_CreateJavaVM (the splash has started, main has
// not run) when TALA_SPLASH_HOLD_CREATE names a pair of events, and at the
// start of DetachCurrentThread (main has returned, an uncaught exception has
// been dealt with) when TALA_SPLASH_HOLD_DETACH does. It sets "<name>-held"
// and waits for "<name>-release", 30 s at most, so a test that died cannot
// leave it waiting. Each arrival in JNI_CreateJavaVM is appended to
// hold-record.txt beside it as "create <QueryPerformanceCounter value>", so a
// timing run can tell when the launcher reached the VM.
#include "os/windows/UniqueHandle.h"

#include <jni.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr DWORD kReleaseTimeoutMilliseconds = 30000;

// The folder this library was loaded from, with its trailing backslash.
std::wstring OwnFolder()
{
    static const int anchor = 0;
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&anchor), &module)) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.rfind(L'\\') + 1);
}

// The stand-in's export of that name; the process ends when it is missing,
// as a launcher on a broken runtime would not get this far.
template <typename Function>
Function StandIn(const char* name)
{
    static const HMODULE standIn = ::LoadLibraryW((OwnFolder() + L"standin-jvm.dll").c_str());
    const FARPROC function = standIn == nullptr ? nullptr : ::GetProcAddress(standIn, name);
    if (function == nullptr) ::ExitProcess(0x0BADC0DE);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(function));
}

void RecordArrival()
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    std::ofstream(std::filesystem::path(OwnFolder() + L"hold-record.txt"), std::ios::binary | std::ios::app)
        << "create " << now.QuadPart << "\n";
}

void HoldAt(const wchar_t* variable)
{
    wchar_t name[200] = {};
    const DWORD length = ::GetEnvironmentVariableW(variable, name, 200);
    if (length == 0 || length >= 200) return;
    const tala::os::UniqueHandle held(::OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(name) + L"-held").c_str()));
    const tala::os::UniqueHandle release(::OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(name) + L"-release").c_str()));
    if (held) ::SetEvent(held.get());
    if (release) ::WaitForSingleObject(release.get(), kReleaseTimeoutMilliseconds);
}

// The VM handed to the launcher: the stand-in's invocation interface with
// DetachCurrentThread held first. The stand-in's functions take no notice of
// which VM they are called on.
JNIInvokeInterface_ heldInterface{};
JavaVM heldVm{};
JavaVM* standInVm = nullptr;

jint JNICALL HeldDetachCurrentThread(JavaVM*)
{
    HoldAt(L"TALA_SPLASH_HOLD_DETACH");
    return standInVm->functions->DetachCurrentThread(standInVm);
}

} // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments)
{
    return StandIn<jint(JNICALL*)(void*)>("JNI_GetDefaultJavaVMInitArgs")(arguments);
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** javaVm, void** env, void* arguments)
{
    RecordArrival();
    HoldAt(L"TALA_SPLASH_HOLD_CREATE");
    const jint result =
        StandIn<jint(JNICALL*)(JavaVM**, void**, void*)>("JNI_CreateJavaVM")(javaVm, env, arguments);
    if (result == JNI_OK && *javaVm != nullptr) {
        standInVm = *javaVm;
        heldInterface = *standInVm->functions;
        heldInterface.DetachCurrentThread = HeldDetachCurrentThread;
        heldVm.functions = &heldInterface;
        *javaVm = &heldVm;
    }
    return result;
}

JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* env, const char* name)
{
    return StandIn<jclass(JNICALL*)(JNIEnv*, const char*)>("JVM_FindClassFromBootLoader")(env, name);
}

} // extern "C"
