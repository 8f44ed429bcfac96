#pragma once
// A drive letter of the test's own, showing a scratch folder: the Windows folder's drive decides where
// some applications' files are looked for, and a stand-in Windows folder needs a drive of its own.
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
