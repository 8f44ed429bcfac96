#pragma once
// The file-system side of a check: the Windows folder, the drive-type question, and whether a path
// names an existing file or folder for the programs that read the entry.
//
// For a 32-bit program on 64-bit Windows System32 means SysWOW64 and Program Files its (x86) twin.
// Such an entry may also have been written with the real name, so a path counts as present when
// either place holds it. Keys that both kinds of program share are judged that way too: their writer
// is unknown, and a false finding breaks a program.
#include "common/Paths.h"
#include "registry/PathTests.h"

#include <string>
#include <vector>

enum class TPresence { Present, Missing, NotJudged };

class TPathJudge {
public:
    // thirtyTwoBit: the entries judged may belong to 32-bit programs.
    TPathJudge(TDriveTypeQuery driveType, bool thirtyTwoBit, TAttributesQuery attributes = QueryPathAttributes);
    TPathJudge(const TPathJudge&) = delete;
    TPathJudge& operator=(const TPathJudge&) = delete;

    const std::wstring& WindowsFolder() const { return WindowsFolder_; }
    bool ThirtyTwoBit() const { return ThirtyTwoBit_; }
    bool FixedDrive(const std::wstring& text) const;
    bool File(const std::wstring& path) const { return File(path, ThirtyTwoBit_); }
    bool Folder(const std::wstring& path) const { return Folder(path, ThirtyTwoBit_); }
    // For an entry that names what a 32-bit program uses whatever the view it lies in.
    bool File(const std::wstring& path, bool thirtyTwoBit) const;
    bool Folder(const std::wstring& path, bool thirtyTwoBit) const;

    // The text with a driver's or service's path form at its start resolved (ResolveSystemForms).
    std::wstring Resolved(const std::wstring& text) const;
    // A text that names a file, maybe followed by an index or arguments ("C:\x\a.dll,-1"): present
    // when the text as written or any of its cuts after a known extension names an existing file (or,
    // with folders, an existing folder). Every check that judges such a text asks here.
    bool PathPresent(const std::wstring& text, bool folders) const;
    // A command line as the system runs it (ProgramOfCommand): present when any candidate for the
    // program names an existing file, each also tried with ".exe" added where it has no extension; a
    // bare program name is looked up in App Paths, the system and Windows folders and the search
    // path. Not judged: a command that cannot be parsed, a program that is neither a full local path
    // nor a bare name, one on a drive that is not fixed.
    TPresence Command(const std::wstring& command) const;

private:
    // The 32-bit place of a path; empty where it is not redirected.
    std::wstring Place32(const std::wstring& path) const;
    // The path's attributes; a file test and a folder test of one path ask once. Only "file not found"
    // and "path not found" (or a text that is no valid name) mean that nothing is there: a path that
    // cannot be asked (access denied, a sharing violation) is there, of a kind not known (kUnknownKind).
    DWORD Attributes(const std::wstring& path) const;
    static constexpr DWORD kUnknownKind = 0xFFFFFFFE;

    // Each drive is asked about once: the question is a costly one, and its answer holds for a check.
    UINT DriveType(const std::wstring& root) const;
    // A bare program name as the system finds it: App Paths, then the search folders.
    bool BareNameFound(const std::wstring& name) const;

    TDriveTypeQuery DriveType_;
    TAttributesQuery Attributes_;
    mutable UINT DriveTypes_[26] = {};
    mutable bool Asked_[26] = {};
    mutable std::wstring LastPath_;
    mutable DWORD LastAttributes_ = INVALID_FILE_ATTRIBUTES;
    std::wstring WindowsFolder_;
    bool ThirtyTwoBit_;
    T32BitFolders Folders32_;
    // The system folder, the Windows folder's "System", the Windows folder, then the search path.
    std::vector<std::wstring> SearchFolders_;
};
