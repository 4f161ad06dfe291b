// Runs the Java application in this process: runtime paths, splash, VM
// library, VM options, and the Java thread that runs main.
#pragma once

#include <cstdint>

namespace tala {

class Launcher;

// The exit code: 0 when main ran, -1 when the application could not be started.
std::int32_t RunJavaApplication(Launcher& launcher);

} // namespace tala
