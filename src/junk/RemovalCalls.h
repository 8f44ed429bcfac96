#pragma once
// The calls of the removal library Ravenwick.dll, looked up by name. The program uses CreateDll and
// RepairTFile (the start routine of the removal thread). UseStandIns exists only in the tests'
// variant RavenwickStandIns.dll: it points the library at a scratch Windows folder, drive, ProgramData
// and local application-data folder and
// replaces the call that empties the recycle bin, so that a test's removal can reach neither the
// machine's own files nor the user's real bin.
#include <windows.h>
#include <oleauto.h>

// text: an empty string variable of the caller, which receives the id of this removal (the caller
// frees it); iniPath: the settings file whose "Junk File Removal" section rules the removal, and whose
// folder holds the scan's list and the removal's result (JunkList.h).
using TCreateDll = void(WINAPI*)(BSTR* text, const wchar_t* iniPath);
inline constexpr char kCreateDllName[] = "CreateDll";
inline constexpr char kRepairTFileName[] = "RepairTFile";

// Has the shape of SHEmptyRecycleBinW.
using TEmptyRecycleBin = HRESULT(WINAPI*)(HWND window, const wchar_t* rootPath, DWORD flags);
// Null arguments bring back the system's places and SHEmptyRecycleBinW.
using TUseStandIns = void(WINAPI*)(const wchar_t* windowsFolder, const wchar_t* recycleDrive,
                                   const wchar_t* programData, const wchar_t* localAppData, TEmptyRecycleBin emptyBin);
inline constexpr char kUseStandInsName[] = "UseStandIns";
