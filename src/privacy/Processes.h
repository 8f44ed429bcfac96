#pragma once
// Whether a browser runs: the process queries of the privacy sweeper's scan and repair, in one place.
// A browser runs when a process of its executable name runs, or when it holds its database (a write
// transaction is refused at once) or its profile lock.
#include "common/Types.h"

#include <string>

// The executable names of all running processes.
TWideStrings GetProcessNames();
// True when a process of that executable name runs (compared without regard to case).
bool IsProcessRunning(const std::wstring& exeName);
// True when the list holds that name (compared without regard to case).
bool ProcessListHolds(const TWideStrings& names, const std::wstring& exeName);
// Whether Firefox runs now; asked afresh by every category and repair that depends on it.
bool FirefoxRuns();

// True when another connection holds the database: "BEGIN IMMEDIATE" answers SQLITE_BUSY at once
// (an open alone succeeds even then). The database is opened read-write, so that closing it leaves
// no -wal or -shm file where there was none; a missing or damaged file is not held.
bool DatabaseHeld(const std::wstring& path);
// True when another process has the file open without sharing it (Firefox's parent.lock, a file in
// use): an exclusive open meets a sharing violation. Missing rights give "access denied" instead.
bool LockFileHeld(const std::wstring& path);
