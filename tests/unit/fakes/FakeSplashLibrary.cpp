// A library that stands in for a runtime's libsplashscreen.so in the unit
// tests of the native splash. Like the real one it needs libjvm.so by that
// bare name, so it loads only once a library of that name is in the process.
// It keeps a record of its calls, read back through FakeSplashRecord. Built
// with TALA_FAKE_SPLASH_WITHOUT_INIT it lacks SplashInit.
#include <string>

#define TALA_EXPORT extern "C" __attribute__((visibility("default")))

TALA_EXPORT const char* FakeVmLibraryName();

namespace {

std::string record;

} // namespace

TALA_EXPORT const char* FakeSplashRecord() { return record.c_str(); }

#ifndef TALA_FAKE_SPLASH_WITHOUT_INIT
TALA_EXPORT void SplashInit() { record += std::string("init (") + FakeVmLibraryName() + ");"; }
#endif

TALA_EXPORT int SplashLoadFile(const char* fileName)
{
    record += std::string("load ") + fileName + ";";
    return 1;
}

TALA_EXPORT void SplashSetFileJarName(const char* fileName, const char* jarName)
{
    record += std::string("names ") + fileName + " [" + jarName + "];";
}

TALA_EXPORT void SplashClose() { record += std::string("close (") + FakeVmLibraryName() + ");"; }
