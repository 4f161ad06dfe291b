// hold-jvm.dll: a VM library for the splash tests. It takes the runtime's
// jvm.dll place and hands every call to the stand-in VM library beside it
// (standin-jvm.dll), but can hold the launcher's Java thread while the test
// looks at the screen and the launcher's windows:
//
//   create  at the start of JNI_CreateJavaVM: the splash has started, main
//           has not run yet;
//   detach  at the start of DetachCurrentThread: main has returned and an
//           uncaught exception has been dealt with.
//
// The test names a pair of events for a point in TALA_SPLASH_HOLD_CREATE or
// TALA_SPLASH_HOLD_DETACH: the library sets "<name>-held" when the Java
// thread arrives there and waits for "<name>-release" (30 s at most, so a
// test that died cannot leave it waiting). Without the variable nothing is
// held there. Each arrival in JNI_CreateJavaVM is also appended to
// hold-record.txt beside the library as "create <QueryPerformanceCounter
// value>", so a timing run can tell when the launcher reached the VM.
// Test code only.
#include <jni.h>

#include <windows.h>

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
    const std::string line = "create " + std::to_string(now.QuadPart) + "\n";
    const HANDLE file = ::CreateFileW((OwnFolder() + L"hold-record.txt").c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

void HoldAt(const wchar_t* variable)
{
    wchar_t name[200] = {};
    const DWORD length = ::GetEnvironmentVariableW(variable, name, 200);
    if (length == 0 || length >= 200) return;
    const HANDLE held = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(name) + L"-held").c_str());
    const HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(name) + L"-release").c_str());
    if (held != nullptr) ::SetEvent(held);
    if (release != nullptr) ::WaitForSingleObject(release, kReleaseTimeoutMilliseconds);
    if (held != nullptr) ::CloseHandle(held);
    if (release != nullptr) ::CloseHandle(release);
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
