// COM on the calling thread for the length of a scope, in the single-threaded
// apartment the shell's folder picker and its link opening want.
#pragma once

#include <objbase.h>

namespace tala::os {

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    // Every successful initialisation, also one that found COM already
    // initialised (S_FALSE), is paired with one uninitialisation.
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

} // namespace tala::os
