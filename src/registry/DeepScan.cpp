// The deep value scan: every text value below HKEY_CURRENT_USER and HKEY_USERS whose name or data is
// a full local path of a file or folder that is gone.
#include "registry/DeepScan.h"

#include "common/Registry.h"
#include "registry/EntryKey.h"
#include "registry/PathTests.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "ui/Label.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <cwctype>

namespace {

// Key families in lower case, each matched anywhere in a key's path followed by a backslash, so that
// the family's own key is matched as well as the keys below it. "_classes\" is the user's classes
// under HKEY_USERS, the hive that the user's Software\Classes shows.
const wchar_t* const kExcludedFamilies[] = {
    L"shell folders",
    L"currentversion\\explorer\\fileexts",
    L"software\\classes",
    L"software\\microsoft\\windows\\shellnoroam\\muicache\\",
    L"_classes\\",
};

} // namespace

bool IsMissingPath(const std::wstring& text, const TPathJudge& judge)
{
    if (text.size() <= 2 || text.find_first_of(L";,%/-|") != std::wstring::npos)
        return false;
    if (text[1] != L':' || text[2] != L'\\' || text.find(L':', 2) != std::wstring::npos)
        return false;
    // The path as written and cut after a known extension: either existing is enough.
    if (!judge.FixedDrive(text) || judge.PathPresent(text, false))
        return false;
    if (!HasExtensionMark(text, false) && text.find(L'.') != std::wstring::npos)
        return false;
    return !judge.Folder(text);
}

bool IsExcludedDeepKey(const std::wstring& path)
{
    const std::wstring lower = Lower(path) + L"\\";
    for (const wchar_t* family : kExcludedFamilies)
        if (lower.find(family) != std::wstring::npos)
            return true;
    return false;
}

int32_t TScanRegistry::ScanDeep(TLabel& status, TProgressBar& progress)
{
    DeepCount = 0;
    status.SetCaption(ScanPrefix + Text(RegText::DeepScan));
    // Values of every program, 32-bit ones included, are judged.
    const TPathJudge judge(Hooks.DriveType, true, Hooks.Attributes);
    const struct {
        HKEY Root;
        const wchar_t* Name;
    } roots[] = {{HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"}, {HKEY_USERS, L"HKEY_USERS"}};
    for (const auto& root : roots) {
        DeepRootName = root.Name;
        TRegKey key;
        if (key.Open(root.Root, L"", KEY_READ) == ERROR_SUCCESS)
            ScanDeepKey(root.Root, key, judge);
        progress.StepIt();
    }
    return DeepCount;
}

void TScanRegistry::ScanDeepKey(HKEY root, const TRegKey& start, const TPathJudge& judge)
{
    // Depth first, one open key per level, each level with the names of its subkeys still to visit.
    // A registry link is a leaf that is never entered, so a cycle of links cannot keep the walk going.
    struct TLevel {
        TRegKey Key;
        std::wstring Path;
        std::vector<std::wstring> Names;
        size_t Next = 0;
    };
    std::vector<TLevel> levels;
    levels.push_back({TRegKey(), L"", start.SubKeyNames()});
    while (!levels.empty() && Stopped == 0) {
        TLevel& level = levels.back();
        if (level.Next == level.Names.size()) {
            levels.pop_back();
            continue;
        }
        const std::wstring& name = level.Names[level.Next++];
        const HKEY parent = levels.size() == 1 ? start.Handle() : level.Key.Handle();
        TRegKey child;
        TRegKey::TContents contents;
        if (!OpenEntryContents(parent, name, child, contents))
            continue; // a link, or a key that cannot be read (gone, or no rights)
        std::wstring path = level.Path.empty() ? name : level.Path + L"\\" + name;
        ScanDeepValues(root, child, contents.Values, path, judge);
        if (Stopped != 0)
            break;
        if (!contents.SubKeys.empty())
            levels.push_back({std::move(child), std::move(path), std::move(contents.SubKeys)});
    }
}

void TScanRegistry::ScanDeepValues(HKEY root, const TRegKey& key, const std::vector<TRegNamedValue>& values,
                                   const std::wstring& path, const TPathJudge& judge)
{
    std::optional<bool> excluded;
    const TFindingRecorder::TWhere where{root, 0, DeepRootName + L"\\"};
    for (const TRegNamedValue& value : values) {
        if (Stopped != 0)
            break;
        ProcessMessages();
        if (value.Value.Type != REG_SZ || HoldsNull(value.Name))
            continue;
        if (!excluded)
            excluded = IsExcludedDeepKey(path);
        if (*excluded)
            continue;
        const std::wstring data = value.Value.Text();
        if (!IsMissingPath(value.Name, judge) && !IsMissingPath(Lower(data), judge))
            continue;
        Recorder.AddValue(where, {path, where.DisplayRoot + path, key.Handle()}, value.Name,
                          Text(RegText::DeepValue), data, FirstImageIndex,
                          {.KeyPath = where.DisplayRoot + path, .Form = TBackupForm::NamedText, .Name = value.Name,
                           .EscapeName = true, .Data = data, .EscapeData = true});
        ++DeepCount;
    }
}
