#pragma once
// The folders a junk walk must never clean. A temporary or cache folder can be set to anything (a
// drive root by a tidy-minded user, the Windows folder by a broken installer); the walk asks this
// guard first and refuses such a folder before it lists a single file.
#include <string>
#include <vector>

// The protected folders, as the system names them (tests put stand-ins in). Empty entries are ignored.
struct TProtectedFolders {
    // Folders that are drive roots besides the plain "C:\" and "\\server\share" forms.
    std::vector<std::wstring> Roots;
    // Refused themselves and with every folder that holds them: System32, SysWOW64, ProgramData, the
    // profile, the application-data folders.
    std::vector<std::wstring> Kept;
    // Refused like the kept ones and also with every folder inside them: the Windows folder, the
    // Program Files folders, the user's document folders.
    std::vector<std::wstring> Sealed;
    // Folders inside a sealed one that are walked on purpose (the Windows folder's temp).
    std::vector<std::wstring> Open;
};

enum class TFolderVerdict {
    Walk,
    Root,            // a drive or network share root
    HoldsProtected,  // the protected folder itself, or a folder that holds it
    InsideProtected, // lies inside a sealed folder
};

struct TFolderCheck {
    TFolderVerdict Verdict = TFolderVerdict::Walk;
    std::wstring Folder;    // the folder that was checked, as given
    std::wstring Protected; // the protected folder concerned, as listed (empty for Walk and Root)
};

// Compares paths in every form that names the same folder: the full long path (".." and short names
// resolved) and the final path the file system resolves (links followed), all without regard to case.
class TFolderGuard {
public:
    explicit TFolderGuard(const TProtectedFolders& folders);

    TFolderCheck Check(const std::wstring& folder) const;

private:
    struct TEntry {
        std::wstring Listed;
        std::vector<std::wstring> Forms;
    };
    static std::vector<TEntry> Resolve(const std::vector<std::wstring>& folders);
    bool IsRoot(const std::wstring& folder, const std::vector<std::wstring>& forms) const;

    std::vector<TEntry> Roots_, Kept_, Sealed_, Open_;
};

// "C:", "C:\", "\\server\share" or "\\server\share\", also behind the "\\?\" and "\\?\UNC\" prefixes;
// "\" (the current drive's root) too.
bool IsDriveOrShareRoot(const std::wstring& path);

// The folder without trailing backslashes, except the one of a drive root ("C:\"), for messages.
std::wstring FolderForDisplay(const std::wstring& folder);
