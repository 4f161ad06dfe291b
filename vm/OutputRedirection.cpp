#include "vm/OutputRedirection.h"

namespace tala {

// Output files are not supported yet: the streams stay the process's own.
void RedirectStandardStreams(Launcher&, JNIEnv*) {}

} // namespace tala
