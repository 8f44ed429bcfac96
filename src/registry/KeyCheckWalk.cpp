// The one routine that walks a row of the key-check table, and what it offers the row's rule.
#include "common/KeyLocation.h"
#include "common/MultiLan.h"
#include "common/Registry.h"
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"
#include "registry/RegistryScan.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace {

// A row's key text split into its root and its path (no leading or trailing backslash).
struct TRowKey {
    HKEY Root = nullptr;
    std::wstring Path;
    std::wstring Display;
    bool TrailingBackslash = false;
};

TRowKey SplitRowKey(const wchar_t* text)
{
    TRowKey key;
    key.Display = text;
    const size_t slash = key.Display.find(L'\\');
    key.Root = RootFromName(key.Display.substr(0, slash));
    key.Path = key.Display.substr(slash + 1);
    key.TrailingBackslash = !key.Path.empty() && key.Path.back() == L'\\';
    while (!key.Path.empty() && key.Path.back() == L'\\')
        key.Path.pop_back();
    return key;
}

bool Accepts(unsigned types, DWORD type)
{
    return types == kAnyValues || (type < 32 && (types & (1u << type)) != 0);
}

} // namespace

TCheckWalk::TCheckWalk(TScanRegistry& scanner, const TKeyCheck& row, const TPathJudge& judge)
    : Scanner_(scanner), Row_(row), Judge_(&judge)
{
}

void TCheckWalk::Walking(const TRegKey& key, const TFindingRecorder::TWhere& where, const std::wstring& path,
                         const std::wstring& display, const TPathJudge& judge)
{
    Key_ = &key;
    Judge_ = &judge;
    Where_ = where;
    Path_ = path;
    Display_ = display;
}

void TCheckWalk::ReportKey(const std::wstring& below, const std::wstring& data, TBackupEntry backup,
                           std::optional<TImage> image, const TRegKey* opened)
{
    Report(TFindingKind::Key, below, L"", data, std::move(backup), image, opened);
}

void TCheckWalk::ReportValue(const std::wstring& below, const std::wstring& name, const std::wstring& data,
                             TBackupEntry backup, std::optional<TImage> image, const TRegKey* opened)
{
    Report(TFindingKind::Value, below, name, data, std::move(backup), image, opened);
}

void TCheckWalk::Report(TFindingKind kind, const std::wstring& below, const std::wstring& name,
                        const std::wstring& data, TBackupEntry backup, std::optional<TImage> image,
                        const TRegKey* opened)
{
    TFindingRecorder::TKeyName key{Path_, Display_, below.empty() ? Key_->Handle() : nullptr};
    if (opened)
        key.Opened = opened->Handle();
    if (!below.empty()) {
        key.Path += L"\\" + below;
        key.Text += (key.Text.empty() || key.Text.back() != L'\\' ? L"\\" : L"") + below;
    }
    backup.KeyPath = key.Text;
    const std::wstring& item = TextAt(Scanner_.Texts, Row_.Line);
    const int32_t imageIndex =
        image.value_or(Row_.Image) == TImage::First ? Scanner_.FirstImageIndex : Scanner_.SecondImageIndex;
    if (kind == TFindingKind::Key)
        Scanner_.Recorder.AddKey(Where_, key, item, data, imageIndex, backup);
    else
        Scanner_.Recorder.AddValue(Where_, key, name, item, data, imageIndex, backup);
    ++Found_;
}

int32_t TScanRegistry::RunKeyCheck(TKeyCheckId id, TLabel& status, TProgressBar& progress)
{
    const TKeyCheck& row = KeyCheck(id);
    status.SetCaption(ScanPrefix + Text(row.Line));
    if (row.Step == TStep::Once)
        progress.StepIt();
    // A key that both kinds of program share may name what a 32-bit program uses: its paths are judged
    // as either kind sees them. A key with a 32-bit twin belongs to 64-bit programs.
    const TPathJudge judge(Hooks.DriveType, !row.ThirtyTwoBitTwin, Hooks.Attributes);
    TCheckWalk walk(*this, row, judge);
    // Where there is nothing to judge against, the keys are still opened (and created) as the row
    // says, and nothing is listed.
    const bool judging = !row.Prepare || row.Prepare(walk);

    const auto walkEntries = [&] {
        if (!judging)
            return;
        const bool pumps = row.Pumps;
        const auto next = [&] { return pumps ? KeepGoing() : Stopped == 0; };
        if (row.Entries == TEntries::Values) {
            for (const TRegNamedValue& value : walk.Key().Values()) {
                if (!next())
                    return;
                if (row.Step == TStep::PerEntry)
                    progress.StepIt();
                if (Accepts(row.Types, value.Value.Type) && !HoldsNull(value.Name))
                    row.Rule(walk, {value.Name, &value.Value});
            }
            return;
        }
        for (const std::wstring& name : walk.Key().SubKeyNames()) {
            if (!next())
                return;
            if (row.Step == TStep::PerEntry)
                progress.StepIt();
            row.Rule(walk, {name, nullptr});
        }
    };
    // The key in its own view, then its 32-bit twin where the row has one and that is a key of its
    // own, listed where it really lies.
    const auto walkViews = [&](const TRowKey& rowKey, const TRegKey& key) {
        walk.Walking(key, {rowKey.Root, 0, L"", false}, rowKey.Path, rowKey.Display, judge);
        walkEntries();
        if (!row.ThirtyTwoBitTwin || !IsSeparate32BitKey(rowKey.Root, rowKey.Path))
            return;
        TRegKey key32;
        if (key32.Open(rowKey.Root, rowKey.Path, KEY_READ | KEY_WOW64_32KEY) != ERROR_SUCCESS)
            return;
        // Listed where it really lies; a twin that is someone's link is listed as that link, which the
        // repair refuses, never under its target's name.
        const TKeyLocation real = TKeyLocator().Locate(rowKey.Root, rowKey.Path, KEY_WOW64_32KEY, key32.Handle());
        if (!real.Found())
            return;
        const TPathJudge judge32(Hooks.DriveType, true, Hooks.Attributes);
        walk.Walking(key32, {real.Root, 0, L"", true}, real.Path,
                     real.Display() + (rowKey.TrailingBackslash ? L"\\" : L""), judge32);
        walkEntries();
    };
    const auto walkKey = [&](const TRowKey& rowKey, bool create) {
        TRegKey key;
        const LSTATUS opened =
            create ? key.OpenOrCreate(rowKey.Root, rowKey.Path) : key.Open(rowKey.Root, rowKey.Path, KEY_READ);
        if (opened == ERROR_SUCCESS)
            walkViews(rowKey, key);
    };

    const TRowKey first = SplitRowKey(row.Key);
    if (row.Second == TSecondKey::InsteadOfEmptyFirst) {
        TRegKey key;
        DWORD subKeys = 0;
        DWORD values = 0;
        const bool opened = (row.Create ? key.OpenOrCreate(first.Root, first.Path)
                                        : key.Open(first.Root, first.Path, KEY_READ)) == ERROR_SUCCESS;
        if (opened && key.Counts(subKeys, values) && subKeys > 0)
            walkViews(first, key);
        else
            walkKey(SplitRowKey(row.SecondKey), row.SecondCreate);
        return walk.Found();
    }
    walkKey(first, row.Create);
    if (row.Second == TSecondKey::AlsoWalked) {
        status.SetCaption(ScanPrefix + Text(row.Line));
        walkKey(SplitRowKey(row.SecondKey), row.SecondCreate);
    }
    return walk.Found();
}
