#include "tests/windows/standin/StandIn.h"

#include "tests/windows/standin/StandInFormat.h"

#include <algorithm>

namespace tala::test::standin {
namespace {

// The folder the library was loaded from, with its trailing backslash: the
// test puts the scenario there and reads the record from there.
std::wstring FolderOfModuleHolding(const void* address)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module)) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.rfind(L'\\') + 1);
}

} // namespace

void Recorder::Line(const std::string& line)
{
    if (!file_) {
        // Appending: a test may start more than one process on one library.
        file_.reset(os::ValidOrNull(::CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file_) return;
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

StandIn& StandIn::Instance()
{
    static StandIn instance;
    return instance;
}

StandIn::StandIn()
{
    // Only what is safe under the loader lock: the files are opened and read
    // on first use.
    folder_ = FolderOfModuleHolding(this);
    recorder_ = std::make_unique<Recorder>(folder_ + kRecordFileName);
    threads_.emplace(::GetCurrentThreadId(), 0);
    FillJniFunctions(functions);
    FillInvokeFunctions(invokeFunctions);
    env.functions = &functions;
    vm.functions = &invokeFunctions;
}

int StandIn::ThreadNumber()
{
    const std::lock_guard guard(lock);
    const auto [entry, added] =
        threads_.emplace(::GetCurrentThreadId(), static_cast<int>(threads_.size()));
    return entry->second;
}

void StandIn::Record(const std::string& line)
{
    const std::lock_guard guard(lock);
    recorder_->Line(line);
}

void StandIn::Fail(const std::string& what)
{
    Record("failure " + QuoteBytes(what) + " " + ThreadField());
    ::ExitProcess(kStandInFailureExitCode);
}

void StandIn::Unexpected(std::string_view function)
{
    Record("unexpected " + QuoteBytes(function) + " " + ThreadField());
    ::ExitProcess(kStandInFailureExitCode);
}

void StandIn::SystemExit(jint status)
{
    Record("exit-hook " + std::to_string(status));
    // A runtime calls the hook and then ends the process itself.
    if (exitHook != nullptr) exitHook(status);
    ::ExitProcess(static_cast<UINT>(status));
}

const Scenario& StandIn::TheScenario()
{
    const std::lock_guard guard(lock);
    if (!scenario_) {
        scenario_ = std::make_unique<Scenario>(ReadScenario(folder_ + kScenarioFileName));
        for (const std::string& error : scenario_->errors) Fail("scenario line not understood: " + error);
    }
    return *scenario_;
}

JavaObject* StandIn::ClassNamed(const std::string& name)
{
    const auto found = classes_.find(name);
    if (found != classes_.end()) return found->second;
    JavaObject* type = NewObject(ObjectKind::Class, name);
    classes_.emplace(name, type);
    return type;
}

JavaObject* StandIn::NewObject(ObjectKind kind, std::string className)
{
    JavaObject& object = objects_.emplace_back();
    object.kind = kind;
    object.className = std::move(className);
    return &object;
}

jobject StandIn::NewReference(JavaObject* object)
{
    if (object == nullptr) return nullptr;
    Reference& reference = references_.emplace_back();
    reference.object = object;
    handedOut_.insert(&reference);
    // A reference is the address of its record: opaque to the launcher, as
    // JNI references are.
    return reinterpret_cast<jobject>(&reference);
}

JavaObject* StandIn::Resolve(jobject handle, const char* function)
{
    if (handle == nullptr) return nullptr;
    const auto* reference = reinterpret_cast<const Reference*>(handle);
    if (handedOut_.count(reference) == 0) {
        Fail(std::string(function) + " was given a reference the VM never handed out");
    }
    if (!reference->live) Fail(std::string(function) + " was given a reference already deleted");
    return reference->object;
}

void StandIn::DeleteReference(jobject handle)
{
    if (handle == nullptr) return;
    Resolve(handle, "DeleteLocalRef");
    reinterpret_cast<Reference*>(handle)->live = false;
}

bool StandIn::ClassExists(const std::string& name, bool bootLoader)
{
    static constexpr std::string_view kRuntimeClasses[] = {
        "java/lang/Object", "java/lang/String", "java/lang/System", "java/lang/Class",
        "java/lang/Throwable",
    };
    if (std::find(std::begin(kRuntimeClasses), std::end(kRuntimeClasses), name) != std::end(kRuntimeClasses)) {
        return true;
    }
    if (name == kByteArrayOutputStream || name == kPrintStream) return TheScenario().printableTraces;
    if (name == kLauncherHelper) return TheScenario().launcherHelper;
    return !bootLoader && !name.empty() && name == TheScenario().mainClass;
}

jmethodID StandIn::FindMethod(const std::string& className, const std::string& name,
                              const std::string& signature, bool isStatic)
{
    const Scenario& scenario = TheScenario();
    const bool known =
        (className == "java/lang/String" && name == "<init>" && signature == "([C)V" && !isStatic) ||
        (className == "java/lang/System" && name == "exit" && signature == "(I)V" && isStatic) ||
        (className == kLauncherHelper && name == "checkAndLoadMain" &&
         signature == kCheckAndLoadMainSignature && isStatic) ||
        (className == scenario.mainClass && name == "main" && signature == kMainSignature && isStatic &&
         scenario.main != MainBehaviour::Absent && scenario.main != MainBehaviour::AbsentWithException) ||
        (className == scenario.mainClass && name == "secondaryMain" && isStatic &&
         ((scenario.secondaryMain == SecondaryMain::Void && signature == kMainSignature) ||
          (scenario.secondaryMain == SecondaryMain::Int && signature == kIntSecondaryMainSignature))) ||
        (className == kByteArrayOutputStream && !isStatic &&
         ((name == "<init>" && signature == "()V") || (name == "toString" && signature == "()Ljava/lang/String;"))) ||
        (className == kPrintStream && name == "<init>" && signature == "(Ljava/io/OutputStream;)V" && !isStatic) ||
        (IsThrowableClass(className) && name == "printStackTrace" && signature == kPrintStackTraceSignature &&
         !isStatic);
    Record("method " + QuoteBytes(className) + " " + QuoteBytes(name) + " " + QuoteBytes(signature) +
           (isStatic ? " static" : " instance") + (known ? " found" : " none"));
    if (!known) {
        // A real VM always throws here; the scenario can ask for a class
        // without main and without the exception, to reach message 216.
        const bool quiet = className == scenario.mainClass && name == "main" &&
                           scenario.main == MainBehaviour::Absent;
        if (!quiet) Throw("java/lang/NoSuchMethodError");
        return nullptr;
    }
    for (Method& method : methods_) {
        if (method.className == className && method.name == name && method.signature == signature) {
            return reinterpret_cast<jmethodID>(&method);
        }
    }
    methods_.push_back({className, name, signature, isStatic});
    return reinterpret_cast<jmethodID>(&methods_.back());
}

const Method* StandIn::ResolveMethod(jmethodID id, const char* function)
{
    const auto* method = reinterpret_cast<const Method*>(id);
    for (const Method& known : methods_) {
        if (&known == method) return method;
    }
    Fail(std::string(function) + " was given a method id the VM never handed out");
}

void StandIn::Throw(const std::string& className)
{
    const std::lock_guard guard(lock);
    pending_[::GetCurrentThreadId()] = NewObject(ObjectKind::Throwable, className);
    ClassNamed(className);
    throwables_.insert(className);
}

JavaObject* StandIn::PendingException()
{
    const std::lock_guard guard(lock);
    const auto found = pending_.find(::GetCurrentThreadId());
    return found == pending_.end() ? nullptr : found->second;
}

void StandIn::ClearPendingException()
{
    const std::lock_guard guard(lock);
    pending_.erase(::GetCurrentThreadId());
}

bool StandIn::IsThrowableClass(const std::string& className) const
{
    return className == "java/lang/Throwable" || throwables_.count(className) != 0;
}

void StandIn::CheckCall(const char* function, bool allowedWithException)
{
    if (!vmCreated) Fail(std::string(function) + " called before the VM was created");
    if (vmDestroyed) Fail(std::string(function) + " called after DestroyJavaVM");
    if (!IsAttached()) {
        Fail(std::string(function) + " called on a thread not attached to the VM");
    }
    if (PendingException() != nullptr && !allowedWithException) {
        Record("pending-exception " + QuoteBytes(function));
    }
}

void StandIn::Attach()
{
    attached_.insert(::GetCurrentThreadId());
}

bool StandIn::Detach()
{
    return attached_.erase(::GetCurrentThreadId()) != 0;
}

} // namespace tala::test::standin

// Builds the state on load, so the loading thread is thread 0 of the record.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) tala::test::standin::StandIn::Instance();
    return TRUE;
}
