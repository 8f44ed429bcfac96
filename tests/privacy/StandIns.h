#pragma once
// A part of a machine that a privacy test stands in for: a running program of a given name. (Its drive
// letter of its own is support/ScratchDrive.)
#include "common/Handles.h"

#include <string>

// A copy of the build's waiting program, started under the given file name (for instance
// "...\firefox.exe"). It is ended when the object goes, and by the system when the test program ends
// in any other way (a job that kills its processes when its last handle closes).
class StandInProcess {
public:
    explicit StandInProcess(const std::wstring& fileName);
    ~StandInProcess() { End(); }
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool Running() const { return Process_.Valid(); }
    void End();

private:
    THandle Job_;
    THandle Process_;
};

// Another process holding a database as a running browser does (exclusive locking, write lock kept)
// until the object goes; Holding() once it has the lock.
class DatabaseHolder {
public:
    explicit DatabaseHolder(const std::wstring& database);
    ~DatabaseHolder();
    DatabaseHolder(const DatabaseHolder&) = delete;
    DatabaseHolder& operator=(const DatabaseHolder&) = delete;

    bool Holding() const { return Holding_; }

private:
    THandle Job_;
    THandle Process_;
    bool Holding_ = false;
};
