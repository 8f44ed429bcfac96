// A damaged removal library for tests, built once without CreateDll and once without RepairTFile.
// The program must call neither of a library that lacks one: a call that is made anyway leaves its
// name in the environment variable BRISFOLD_PARTIAL_REMOVAL_CALLED of the calling process.
#include <windows.h>
#include <oleauto.h>

namespace {

void Called(const wchar_t* name)
{
    SetEnvironmentVariableW(L"BRISFOLD_PARTIAL_REMOVAL_CALLED", name);
}

} // namespace

#ifndef WITHOUT_CREATEDLL
extern "C" __declspec(dllexport) void WINAPI CreateDll(BSTR*, const wchar_t*)
{
    Called(L"CreateDll");
}
#endif

#ifndef WITHOUT_REPAIRTFILE
extern "C" __declspec(dllexport) DWORD WINAPI RepairTFile(void*)
{
    Called(L"RepairTFile");
    return 0;
}
#endif
