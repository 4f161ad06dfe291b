#include "launcher/Launcher.h"

#include "instance/SingleInstance.h"
#include "launcher/CommandLine.h"
#include "launcher/PairProduct.h"
#include "os/MainThread.h"
#include "runtime/FindRuntime.h"
#include "runtime/RuntimeNotFoundDialog.h"
#include "settings/ReadSettings.h"
#include "settings/WorkingDirectory.h"
#include "vm/JavaApplication.h"

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
    return RunJavaApplication(*this);
}

void Launcher::Finish()
{
    StopSingleInstance(*this);
}

std::int32_t RunLauncher()
{
    Launcher launcher;
    os::UseSystemDefaultLocale();
    os::CreateMessageQueue();
    std::int32_t exitCode = -1;
    if (launcher.Initialize()) exitCode = launcher.Run();
    launcher.Finish();
    return exitCode;
}

} // namespace tala
