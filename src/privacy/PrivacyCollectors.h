#pragma once
// The item collectors that every privacy category uses: folders, files, keys and values of
// HKEY_CURRENT_USER. They hand what they find to the recorder and keep the window alive between
// entries; a stop request ends every listing at its next entry.
#include "common/Types.h"
#include "junk/FolderGuard.h"

#include <functional>
#include <string>
#include <vector>

class TPrivacyRecorder;

class TPrivacyCollector {
public:
    // Every folder listed, and the folder of every file listed, passes the guard first; nothing in the
    // URL cache's container folders is listed (the cache's own index, its entries' files).
    TPrivacyCollector(TPrivacyRecorder& recorder, const TStopFlag& stopped, const TFolderGuard& guard,
                      std::vector<std::wstring> cacheContainers);

    // Processes pending window messages, then tells whether the scan may go on.
    bool KeepGoing() const;
    bool Stopped() const;

    // The guard's verdict on a folder that exists, for a category that lists a folder's files or opens
    // a browser's profile: the folder in the form to use it in, or empty when it does not exist or the
    // guard refuses it (the refusal goes into the report). kind tells whether the folder is one
    // scanners walk on purpose.
    std::wstring GuardedFolder(const std::wstring& folder, TWalkRoot kind);

    // Each folder listed, and the folder of each file listed, passes the guard first, and is listed in
    // the guard's form. root is the folder the system names (a shell folder, application data, the
    // drive) that the listed items lie at or below; empty: the folder itself, or the file's own folder.
    // The root may be reached through a link; nothing below it may be, and the repair refuses what has
    // a link on the way.

    // Every file below the folder, at all depths. Links are neither entered nor listed: their targets
    // lie elsewhere; a folder that is itself a link lists nothing.
    void ListFolderTree(const std::wstring& folder, TWalkRoot kind = TWalkRoot::Other, const std::wstring& root = {});
    // The folder's own entries, sub-folders included (the repair passes over those); links are left out.
    void ListFolder(const std::wstring& folder, TWalkRoot kind = TWalkRoot::Other, const std::wstring& root = {});
    // One file, when it exists and is a plain file.
    void ListFile(const std::wstring& path, TWalkRoot kind = TWalkRoot::Other, const std::wstring& root = {});
    // A key below HKEY_CURRENT_USER ("\Software\..."), when it exists. Only looks: nothing is created.
    void CheckKey(const std::wstring& keyPath);
    // The plain string (REG_SZ) values of a key below HKEY_CURRENT_USER; values of other types, expandable
    // strings included, are not listed.
    void ListStringValues(const std::wstring& keyPath);
    // Every value of a key below HKEY_CURRENT_USER and of its direct subkeys, whatever its type; deeper
    // keys are not looked at. onKeyValue, when given, sees each of the key's own value names just
    // before it is recorded.
    void ListValuesOneLevel(const std::wstring& keyPath,
                            const std::function<void(const std::wstring& name)>& onKeyValue = {});
    // "key|value": the value of a key below HKEY_CURRENT_USER, when both exist. The value name is
    // trimmed of blanks and control characters; a text without "|" names nothing.
    void CheckValue(const std::wstring& entry);

    TPrivacyRecorder& Recorder() { return Recorder_; }

private:
    // The folder in the guard's form and the path it must resolve to, for a walk of the collectors.
    struct TWalkStart {
        std::wstring Folder;
        std::wstring Expected;
    };
    TWalkStart StartOfWalk(const std::wstring& folder, TWalkRoot kind, const std::wstring& root);
    void Walk(const std::wstring& folder, const std::wstring& expected, bool recurse);
    bool InCacheContainer(const std::wstring& folder) const;

    TPrivacyRecorder& Recorder_;
    const TStopFlag& Stopped_;
    const TFolderGuard& Guard_;
    std::vector<std::wstring> CacheContainers_;
};
