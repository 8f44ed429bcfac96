#pragma once
// Redirects HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_USERS of this process
// to empty scratch keys (RegOverridePredefKey) and removes them again on destruction. The scratch
// keys live below the real HKEY_CURRENT_USER\Software, named after the test program, so that a
// crashed run's keys are removed by the next run of the same program.
#include <windows.h>

#include <string>

class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Path of the scratch key standing in for a root, below the real HKEY_CURRENT_USER.
    std::wstring BackingPath(HKEY root) const;
    // Makes the key linkPath below the redirected HKEY_CURRENT_USER a registry link to targetPath,
    // another key below it.
    void MakeCurrentUserLink(const std::wstring& linkPath, const std::wstring& targetPath) const;
    // The same below any redirected root (the link's parent keys are created).
    void MakeLink(HKEY root, const std::wstring& linkPath, const std::wstring& targetPath) const;

private:
    std::wstring Base_;
    HKEY Keys_[4] = {};
};

// Creates the key (and its parents) below root and sets a string value when a name is given.
void SetRegString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
void CreateRegKey(HKEY root, const std::wstring& key);
bool RegKeyExists(HKEY root, const std::wstring& key);
bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name);
