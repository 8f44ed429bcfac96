#pragma once
// How long the quarantine keeps a run: "QuarantineDays" in section "Spyware Removal" of Main.ini.
// Runs older than that are deleted when the program starts; 0 keeps them until deleted by hand.
#include <string>

inline constexpr wchar_t kQuarantineSection[] = L"Spyware Removal";
inline constexpr wchar_t kQuarantineDaysKey[] = L"QuarantineDays";
inline constexpr int kDefaultQuarantineDays = 30;
inline constexpr int kMaxQuarantineDays = 3650;

// The setting as the start-up uses it: absent or not a number, the default; below 0, 0 (a negative age
// would delete what the user just removed); above the longest, the longest.
int ReadQuarantineDays(const std::wstring& iniFile);
