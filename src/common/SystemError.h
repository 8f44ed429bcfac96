#pragma once
#include <windows.h>

#include <string>

// The system's own text for an error code, without its line break; empty when the system has none.
std::wstring SystemErrorText(DWORD error);
