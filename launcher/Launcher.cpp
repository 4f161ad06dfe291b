#include "launcher/Launcher.h"

#include "instance/SingleInstance.h"
#include "launcher/CommandLine.h"
#include "launcher/PairProduct.h"
#include "launcher/Trace.h"
#include "os/MainThread.h"
#include "runtime/FindRuntime.h"
#include "runtime/RuntimeNotFoundDialog.h"
#include "settings/ReadSettings.h"
#include "settings/WorkingDirectory.h"
#include "splash/Splash.h"
#include "vm/JavaCommand.h"
#include "vm/JavaThread.h"
#include "vm/RuntimePaths.h"
#include "vm/VmOptions.h"

namespace tala {

bool Launcher::Initialize()
{
    ReadCommandLine(programArguments);
    if (!ReadSettings(settings, splashWindow)) return false;
    if (!CheckSingleInstance(*this)) return false;
    // A second start hands its arguments to the first instance: it needs no runtime.
    if (singleInstanceActive && !isFirstInstance) return true;
    if (settings.overrideWorkingDir) ApplyWorkingDirectory();
    if (FindRuntime(*this)) return true;
    return ShowRuntimeNotFoundDialog(*this);
}

std::int32_t Launcher::Run()
{
    if (runPairProduct) return StartPairProduct(*this);
    if (singleInstanceActive && !isFirstInstance) return WaitForFirstInstance(*this);
    ApplyRuntimePaths(*this);
    if (SplashWanted(programArguments) && !StartSplash(*this)) return 0;
    if (!LoadVmLibrary(*this, vmLibraryPath)) return -1;
    // A missing class path has been reported; the VM still starts with what there is.
    BuildVmOptions(*this);
    // Before the option that carries the arguments: the cache is the same
    // whatever a start is given.
    PrepareStartupCache(*this);
    AddJavaCommandOption(*this);
    if (RunJavaThread(*this) == 0) return 0;
    CallSplashClose(*this);
    return -1;
}

void Launcher::Finish()
{
    CloseSplashWindow(*this);
    DestroyVm(*this);
    FinishStartupCache();
    StopSingleInstance(*this);
    CallSplashClose(*this);
}

std::int32_t RunLauncher()
{
    trace::Open();
    trace::Note("launcher", "start");
    Launcher launcher;
    os::UseSystemDefaultLocale();
    os::CreateMessageQueue();
    std::int32_t exitCode = -1;
    if (launcher.Initialize()) exitCode = launcher.Run();
    launcher.Finish();
    trace::Note("launcher", "exit code", exitCode);
    return exitCode;
}

} // namespace tala
