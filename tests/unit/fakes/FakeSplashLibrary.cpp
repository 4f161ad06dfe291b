// A library that stands in for a runtime's libsplashscreen.so in the unit
// tests of the native splash. Like the real one it needs libjvm.so by that
// bare name, so it loads only once a library of that name is in the process.
// It keeps a record of its calls, read back through FakeSplashRecord. Built
// with TALA_FAKE_SPLASH_WITHOUT_INIT it lacks SplashInit.
#include <string>

extern "C" const char* FakeVmLibraryName();

namespace {

std::string& Record()
{
    static std::string record;
    return record;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) const char* FakeSplashRecord() { return Record().c_str(); }

#ifndef TALA_FAKE_SPLASH_WITHOUT_INIT
__attribute__((visibility("default"))) void SplashInit()
{
    Record() += std::string("init (") + FakeVmLibraryName() + ");";
}
#endif

__attribute__((visibility("default"))) int SplashLoadFile(const char* fileName)
{
    Record() += std::string("load ") + fileName + ";";
    return 1;
}

__attribute__((visibility("default"))) void SplashSetFileJarName(const char* fileName, const char* jarName)
{
    Record() += std::string("names ") + fileName + " [" + jarName + "];";
}

__attribute__((visibility("default"))) void SplashClose()
{
    Record() += std::string("close (") + FakeVmLibraryName() + ");";
}

} // extern "C"
