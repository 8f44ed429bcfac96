#pragma once
// The item collectors that every privacy category uses: folders, files, keys and values of
// HKEY_CURRENT_USER. They hand what they find to the recorder and keep the window alive between
// entries; a stop request ends every listing at its next entry.
#include "common/Types.h"

#include <functional>
#include <string>

class TPrivacyRecorder;

class TPrivacyCollector {
public:
    TPrivacyCollector(TPrivacyRecorder& recorder, const TStopFlag& stopped);

    // Processes pending window messages, then tells whether the scan may go on.
    bool KeepGoing() const;
    bool Stopped() const;

    // root is the folder the system names (a shell folder, application data, the drive) that the
    // listed items lie at or below; empty: the folder itself, or the file's own folder. The root may be
    // reached through a link; nothing below it may be, and the repair refuses what has a link on the way.

    // Every file below the folder, at all depths. Links are neither entered nor listed: their targets
    // lie elsewhere; a folder that is itself a link lists nothing.
    void ListFolderTree(const std::wstring& folder, const std::wstring& root = {});
    // The folder's own entries, sub-folders included (the repair passes over those); links are left out.
    void ListFolder(const std::wstring& folder, const std::wstring& root = {});
    // One file, when it exists and is a plain file.
    void ListFile(const std::wstring& path, const std::wstring& root = {});
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
    void Walk(const std::wstring& folder, const std::wstring& expected, bool recurse);

    TPrivacyRecorder& Recorder_;
    const TStopFlag& Stopped_;
};
