// A library that stands in for a runtime's libjvm.so in the unit tests of the
// native splash: it is only ever loaded, and named by the fake splash library
// that depends on it.
extern "C" __attribute__((visibility("default"))) const char* FakeVmLibraryName()
{
    return "fake libjvm.so";
}
