#pragma once
// Parts of a machine that a privacy test stands in for: a drive letter of its own (the Windows
// folder's drive decides where some applications' files are looked for) and a running program of a
// given name.
#include "common/Handles.h"

#include <string>

// Maps a free drive letter to a scratch folder for the test's lifetime ("P:"), or finds it still mapped
// there by a crashed run. Name() is empty when no letter could be mapped.
class ScratchDrive {
public:
    explicit ScratchDrive(const std::wstring& folder);
    ~ScratchDrive();
    ScratchDrive(const ScratchDrive&) = delete;
    ScratchDrive& operator=(const ScratchDrive&) = delete;

    const std::wstring& Name() const { return Drive_; }

private:
    std::wstring Drive_;
};

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
