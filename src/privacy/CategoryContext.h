#pragma once
// What a privacy category handler is given: the collector it lists into, the places and settings of
// one scan, and the status line.
#include "common/Types.h"

#include <string>

class TAppFrame;
class TCookieKeepList;
class TLabel;
class TPrivacyCollector;
struct TPrivacyPlatform;

// What a category handler works with during one scan.
struct TCategoryContext {
    TPrivacyCollector& Collect;
    const TAppFrame& Folders;
    const TWideStrings& CookieIgnore;
    const TPrivacyPlatform& Platform;
    TLabel& Status;
    const std::wstring& ScanPrefix;
    const TCookieKeepList& KeepList;
    const TWideStrings& Texts; // the "M_PrivacyScan" lines

    // The status line: the scan prefix followed by what the category looks at.
    void ShowSubject(const std::wstring& subject) const;
    // Reports the keep-list entries that keep nothing, once per scan; every cookie category calls it.
    void NoteIgnoredKeepEntries() const;
};

// A handler lists the traces of the categories whose key it is given.
using TCategoryHandler = void (*)(TCategoryContext& context, const std::wstring& key);
