#include "privacy/PrivacyScanner.h"

#include "common/FormatText.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/MultiLan.h"
#include "common/Paths.h"
#include "common/UrlCache.h"
#include "junk/JunkWalk.h"
#include "privacy/ApplicationTraces.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyTexts.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <algorithm>

namespace {

constexpr DWORD kPositionPauseMs = 100;
constexpr int kProgressStep = 2;
constexpr size_t kRuleLength = 90;

bool Selected(const std::wstring& selection, int position)
{
    const auto at = static_cast<size_t>(position - 1);
    return at < selection.size() && selection[at] == L'1';
}

// The INI service drops a language line's trailing blanks, so the prefix is joined to its item here.
std::wstring PendingPrefix(const std::wstring& text)
{
    const size_t end = text.find_last_not_of(L' ');
    return (end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1)) + L" ";
}

} // namespace

TPrivacyScanner::TPrivacyScanner(const TWideStrings& texts) : Texts(texts) {}

void TPrivacyScanner::LoadIgnoreList()
{
    CookieIgnore.clear();
    const TIniFile ignore(IgnoreIniPath());
    for (const std::wstring& line : ignore.ReadSectionLines(L"Cookie"))
        CookieIgnore.push_back(LineName(line));
    KeepList = TCookieKeepList(CookieIgnore);
}

bool TPrivacyScanner::IsPendingDelete(const std::wstring& itemPath) const
{
    return std::find(PendingDeletes.begin(), PendingDeletes.end(), itemPath) != PendingDeletes.end();
}

int32_t TPrivacyScanner::ReportedCount() const
{
    // Only what this scan lists again is taken off, so the count never goes below zero.
    const auto& items = Findings.Items();
    const auto waiting =
        std::count_if(items.begin(), items.end(), [this](const TPrivacyItem& item) { return IsPendingDelete(item.Path); });
    return Findings.FoundCount() - static_cast<int32_t>(waiting);
}

int32_t TPrivacyScanner::Scan(TLabel& status, TProgressBar& progress, const std::wstring& selection, TMemo& memo)
{
    LoadIgnoreList();
    Findings.Clear();
    status.SetCaption(L"");
    Stopped = 0;
    memo.Clear();
    progress.SetPosition(0);
    progress.SetMin(0);
    progress.SetStep(kProgressStep);

    const TFolderGuard guard(ProtectedFolders());
    TPrivacyCollector collector(Findings, Stopped, guard, UrlCacheContainerFolders());
    TCategoryContext context{collector, Folders, CookieIgnore, Platform, status, ScanPrefix, KeepList, Texts};
    // Every classic position takes its step, selected or not, but only a ticked one its pause; the later
    // ones share the rest of the bar and are not paced. A stop skips the remaining handlers, and the
    // report shows what was found so far.
    const int later = static_cast<int>(kPrivacyCategories.size()) - kClassicPositions;
    const auto ticked = std::count_if(kPrivacyCategories.begin(), kPrivacyCategories.end(), [&](const TPrivacyCategory& c) {
        return c.Position <= kClassicPositions && Selected(selection, c.Position);
    });
    TPacedSteps pacing(Pause, static_cast<int>(ticked));
    for (const TPrivacyCategory& category : kPrivacyCategories) {
        Findings.SetCategory(category.Position);
        const bool runs = Selected(selection, category.Position) && !collector.Stopped();
        if (runs)
            category.Handler(context, category.Key);
        if (category.Position <= kClassicPositions) {
            progress.StepIt();
            if (runs)
                pacing.Step(kPositionPauseMs);
        } else {
            const int done = category.Position - kClassicPositions;
            progress.SetPosition(kClassicPositions * kProgressStep +
                                 done * (99 - kClassicPositions * kProgressStep) / later);
        }
        ProcessMessages();
    }

    Findings.SetCategory(0);
    WriteReport(memo);
    progress.SetPosition(100);
    return ReportedCount();
}

std::vector<TEntryPlace> TPrivacyScanner::UntickedPlaces(const std::wstring& selection) const
{
    std::vector<TEntryPlace> places;
    for (const TPrivacyItem& item : Findings.Items())
        if (!Selected(selection, item.Category))
            if (auto place = PrivacyItemPlace(item))
                places.push_back(std::move(*place));
    return places;
}

TProtectedFolders TPrivacyScanner::ProtectedFolders() const
{
    const std::wstring windows = Platform.WindowsFolder();
    TProtectedFolders folders = ::ProtectedFolders({windows, SystemDriveRoot()});
    // The applications' own folders on the Windows drive (below Program Files) are walked on purpose.
    const std::vector<std::wstring> own = ApplicationDriveFolders(windows);
    folders.Open.insert(folders.Open.end(), own.begin(), own.end());
    return folders;
}

bool TPrivacyScanner::KeepGoing()
{
    ProcessMessages();
    return Stopped == 0;
}

void TPrivacyScanner::WriteReport(TMemo& memo) const
{
    const std::wstring rule(kRuleLength, L'-');
    memo.Add(TextAt(Texts, kTitleText));
    memo.Add(FormatText(TextAt(Texts, kCountText), {std::to_wstring(ReportedCount())}));
    memo.Add(rule);
    memo.Add(FormatText(TextAt(Texts, kSizeText), {FormatSizeZero(Findings.TotalBytes())}));
    memo.Add(TextAt(Texts, kNoteText));
    memo.Add(rule);
    const TRefusalTexts refusal{PrivacyText(Texts, kSkippedRootText), PrivacyText(Texts, kSkippedHoldsText),
                                PrivacyText(Texts, kSkippedInsideText), PrivacyText(Texts, kSkippedUnresolvedText)};
    for (const TFolderCheck& refused : Findings.Refusals())
        memo.Add(RefusalLine(refusal, refused));
    for (const TPrivacyItem& item : Findings.Items())
        memo.Add(IsPendingDelete(item.Path) ? PendingPrefix(TextAt(Texts, kPendingText)) + item.Line : item.Line);
    for (const std::wstring& note : Findings.Notes())
        memo.Add(note);
    // The memo takes its whole text in one go, which leaves its caret at the start and its view at the top.
}
