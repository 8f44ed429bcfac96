#pragma once
// Who the program runs as: whether an interactive user's profile stands behind it, whether its rights
// are raised, and the machine's name, as the fleet report states them.
#include <windows.h>

#include <string>
#include <vector>

// True for LocalSystem, LocalService and NetworkService, and for any account that runs as a service
// (its token holds the SERVICE group): remediation scripts and management agents run so, and their
// profile is not a user's, so the per-user scanners have nothing of a person's to clean.
bool IsServiceIdentity(PSID user, const std::vector<PSID>& groups);
// The same asked of the running process's token; false when the token cannot be read.
bool RunsWithoutInteractiveUser();
// The machine's DNS host name, else its NetBIOS name (from the environment when the system cannot say);
// empty when none can be had.
std::wstring ComputerName();
