#include "vm/JavaVm.h"

#include "instance/SingleInstance.h"
#include "launcher/ErrorReport.h"
#include "launcher/Launcher.h"
#include "launcher/Trace.h"
#include "os/LastError.h"
#include "os/Library.h"
#include "vm/StartupCache.h"

#include <vector>

namespace tala {
namespace {

// The runtime calls these before it ends the process itself (System.exit, a
// fatal start-up error). Giving them keeps the runtime from calling the C
// library's exit or abort on its own terms; at exit the VM has written what a
// startup cache's first start records, and the launcher settles it.
void JNICALL ExitHook(jint code)
{
    trace::Note("launcher", "exit code (System.exit)", code);
    FinishStartupCache();
}
void JNICALL AbortHook() {}

MessageArgument ReasonFor(jint result)
{
    switch (result) {
    case JNI_ERR: return DetailText(MessageId::ReasonUnknown);
    case JNI_EDETACHED: return DetailText(MessageId::ReasonThreadDetached);
    case JNI_EVERSION: return DetailText(MessageId::ReasonVersion);
    case JNI_ENOMEM: return DetailText(MessageId::ReasonNoMemory);
    case JNI_EEXIST: return DetailText(MessageId::ReasonVmExists);
    case JNI_EINVAL: return DetailText(MessageId::ReasonInvalidArguments);
    default: return std::u16string();
    }
}

} // namespace

bool LoadVmLibrary(Launcher& launcher, const std::u16string& path)
{
    JavaVm& vm = launcher.vm;
    const os::LibraryHandle library = os::LoadLibraryFile(path);
    if (library == nullptr) {
        trace::Note("vm", u"cannot load", path);
        ReportError(launcher.splashWindow, MessageId::VmLibraryLoadFailed, {path, os::LastErrorCode()});
        return false;
    }
    os::SymbolLookup symbols(library);
    symbols.Find(vm.createJavaVm, "JNI_CreateJavaVM");
    symbols.Find(vm.getDefaultInitArgs, "JNI_GetDefaultJavaVMInitArgs");
    if (symbols.Missing() != nullptr) {
        trace::Note("vm", u"no invocation interface in", path, "- no", symbols.Missing());
        ReportError(launcher.splashWindow, MessageId::WindowsException,
                    {DetailText(MessageId::CreateJavaVmNotFound), symbols.MissingError()});
        return false;
    }
    symbols.Find(vm.findClassFromBootLoader, "JVM_FindClassFromBootLoader");
    return true;
}

bool CreateVm(Launcher& launcher)
{
    // The records point into the launcher's option strings, which outlive the call.
    std::vector<JavaVMOption> options;
    for (const std::string& option : launcher.vmOptions.Options()) {
        trace::Note("vm", "option", option);
        options.push_back({const_cast<char*>(option.c_str()), nullptr});
    }
    options.push_back({const_cast<char*>("abort"), reinterpret_cast<void*>(&AbortHook)});
    options.push_back({const_cast<char*>("exit"), reinterpret_cast<void*>(&ExitHook)});

    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(options.size());
    arguments.options = options.data();
    arguments.ignoreUnrecognized = JNI_FALSE;

    JavaVm& vm = launcher.vm;
    void* env = nullptr;
    const jint result = vm.createJavaVm(&vm.handle, &env, &arguments);
    if (result != JNI_OK) {
        trace::Note("jni", "JNI_CreateJavaVM failed with", result);
        vm.handle = nullptr;
        ReportError(launcher.splashWindow, MessageId::JniException,
                    {DetailText(MessageId::CreateJavaVmFailed), ReasonFor(result)});
        return false;
    }
    vm.env = static_cast<JNIEnv*>(env);
    return true;
}

void DestroyVm(Launcher& launcher)
{
    if (launcher.vm.handle == nullptr) return;
    ForgetVmForHandOffs(launcher);
    launcher.vm.handle->DestroyJavaVM();
    launcher.vm.handle = nullptr;
}

} // namespace tala
