#include "app/ScanRun.h"

#include "app/LanguageNeeds.h"
#include "app/MessageTexts.h"
#include "app/OptionTexts.h"
#include "common/Exception.h"
#include "common/FormatText.h"
#include "common/Paths.h"
#include "junk/TempFileThread.h"
#include "privacy/PrivacyScanner.h"
#include "quarantine/Quarantine.h"
#include "quarantine/QuarantineSettings.h"
#include "registry/RegistryScan.h"
#include "spyware/SpywareScan.h"
#include "ui/ListView.h"

#include <windows.h>

namespace {

// "M_Temp" line of a removal library that is missing; "M_SpywareScan" lines of the spyware scanner's
// status prefixes.
constexpr int kJunkLibraryMissingText = 4;
constexpr int kSpywareScanText = 0;
constexpr int kSpywareRepairText = 15;

// A command that fails part-way still ends: Scanning must not stay set, or the close box would be
// refused for good.
template <typename Rows>
void RunCommand(bool& scanning, Rows rows)
{
    scanning = true;
    try {
        rows();
    } catch (...) {
        scanning = false;
        throw;
    }
    scanning = false;
}

} // namespace

TScanRun::TScanRun(std::wstring programFolder) : ProgramFolderOverride_(WithBackslash(std::move(programFolder))) {}

TScanRun::~TScanRun() = default;

std::wstring TScanRun::ExpectedProgramFolder() const
{
    return ProgramFolderOverride_.empty() ? TAppFrame().ExeFolder : ProgramFolderOverride_;
}

std::wstring TScanRun::Text(int position) const
{
    return TextAt(MessageTexts, position);
}

// Start-up

std::optional<std::wstring> TScanRun::Start()
{
    FolderInfo = std::make_unique<TAppFrame>();
    ProgramFolder = ProgramFolderOverride_.empty() ? FolderInfo->ExeFolder : ProgramFolderOverride_;
    RegRepairLog.clear();
    SettingsFolder = SettingsFolderPath();
    const std::wstring archive = ProgramFolder + L"Def.dbd";
    // Each start-up failure is told once and ends the start-up: going on would only raise a second,
    // less helpful error about the same cause.
    if (GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES)
        return L"Database file(Def.dbd) missing, please reinstall program.";
    Settings = std::make_unique<TSettings>(SettingsFolder + L"Main.ini", PolicyRoots);
    LangTexts = std::make_unique<TMultiLan>(*Settings, ProgramFolder, LanguageNeeds());
    // Checked before any scan: a missing line would otherwise end a scan halfway with an index error.
    if (const auto shortage = LangTexts->FirstShortage())
        return ShortageMessage(*shortage);
    MessageTexts = LangTexts->GetSection(kMessageSection);
    OptionTexts = LangTexts->GetSection(kOptionSection);
    ProblemCounts.fill(0);
    const std::wstring damaged = L"Database file(Def.dbd) corrupted, please reinstall program.";
    const TWideStrings spywareTexts = LangTexts->GetSection(L"M_SpywareScan");
    // A definition file that cannot be read ends the start-up with the file named, never a window that
    // looks ready yet cannot scan.
    try {
        if (!MyZip.OpenArchive(archive))
            return damaged;
        SpyScanner = std::make_unique<TSpyScan>(archive, spywareTexts);
    } catch (...) {
        return damaged + L"\r\n\r\n" + archive + L": " + ErrorText(std::current_exception());
    }
    SpyScanner->ScanPrefix = TextAt(spywareTexts, kSpywareScanText);
    SpyScanner->RepairPrefix = TextAt(spywareTexts, kSpywareRepairText);
    SpyScanner->RegistryImage = 0;
    SpyScanner->FileImage = 1;
    SpyScanner->FolderImage = 2;
    SpyScanner->CookieImage = 3;
    SpyScanner->Pause = Pause;
    SpyScanner->Quarantine = Quarantine;
    // Runs older than the user keeps them go now. What cannot be deleted stays for the next start: a
    // start-up says nothing about it.
    if (const int days = ReadQuarantineDays(*Settings); days > 0)
        (void)TQuarantine(Quarantine).Purge(days);

    RegScanner = std::make_unique<TScanRegistry>(LangTexts->GetSection(L"M_RegistryScan"));
    RegScanner->FirstImageIndex = 4;
    RegScanner->SecondImageIndex = 5;
    RegScanner->ScanPrefix = Text(MessageText::ScanPrefix) + L" ";
    RegScanner->RepairPrefix = Text(MessageText::RegistryRepair);
    RegScanner->Pause = Pause;
    RegScanner->PolicyRoots = PolicyRoots;

    PrivScanner = std::make_unique<TPrivacyScanner>(LangTexts->GetSection(L"M_PrivacyScan"));
    PrivScanner->ScanPrefix = Text(MessageText::ScanPrefix) + L" ";
    PrivScanner->RepairPrefix = Text(MessageText::PrivacyRepair);
    PrivScanner->Platform = PrivacyPlatform;
    PrivScanner->Pause = Pause;

    Scanning = false;
    SpywareOn = RegistryOn = PrivacyOn = JunkOn = true;
    return std::nullopt;
}

// Result lines

TResultLine TScanRun::FoundLine(int64_t count) const
{
    if (count == 0)
        return {true, Text(MessageText::NothingFound), true, true};
    TResultLine line{true, L"", false, false};
    if (count == 1)
        line.Text = FormatText(Text(MessageText::OneFound), std::vector<TFormatArg>{count});
    else if (count > 1)
        line.Text = FormatText(Text(MessageText::SomeFound), std::vector<TFormatArg>{count});
    return line;
}

TResultLine TScanRun::RepairedLine() const
{
    return {true, Text(MessageText::Repaired), true, true};
}

TResultLine TScanRun::JunkLine(int64_t bytes, const std::wstring& sizeText) const
{
    if (bytes == 0)
        return {true, Text(MessageText::NothingFound), true, false};
    return {true, FormatText(Text(MessageText::JunkFound), std::vector<TFormatArg>{sizeText}), false, false};
}

TResultLine TScanRun::LeftLine(size_t left) const
{
    const int text = left == 1 ? MessageText::OneNotRemoved : MessageText::NotRemoved;
    return {true, FormatText(Text(text), {int64_t(left)}), false, true, true};
}

TLeftItemsView TScanRun::LeftItems(int row) const
{
    static_assert(MessageText::LastOutcome - MessageText::FirstOutcome + 1 == kOutcomeCount,
                  "one language line per outcome");
    TLeftItemsView view{Text(MessageText::LeftCaption), Text(MessageText::LeftIntro),
                        Text(MessageText::LeftItemColumn), Text(MessageText::LeftWhyColumn),
                        Text(MessageText::LeftClose), {}};
    if (const TRepairReport* report = LastRepair(row)) {
        for (const TRepairReport::TItem& item : report->Left()) {
            std::wstring why = Text(MessageText::FirstOutcome + static_cast<int>(item.Outcome));
            if (!item.Reason.empty())
                why += L": " + item.Reason;
            view.Rows.push_back({item.Text, std::move(why)});
        }
    }
    return view;
}

TResultLine TScanRun::NotRunLine() const
{
    return {true, Text(MessageText::NoInteractiveUser), false, false};
}

void TScanRun::SetLine(int row, TResultLine line, const TRowCalls& calls)
{
    Lines[static_cast<size_t>(row)] = std::move(line);
    if (calls.Ends)
        calls.Ends(row);
}

const TRepairReport* TScanRun::LastRepair(int row) const
{
    switch (row) {
    case kSpywareRow: return SpyScanner ? &SpyScanner->LastRepair : nullptr;
    case kRegistryRow: return RegScanner ? &RegScanner->LastRepair : nullptr;
    case kPrivacyRow: return PrivScanner ? &PrivScanner->LastRepair : nullptr;
    case kJunkRow: return JunkThread ? &JunkThread->LastRepair : nullptr;
    default: return nullptr;
    }
}

// Commands

void TScanRun::Scan(const TScanControls& controls, const TRowCalls& calls)
{
    for (TResultLine& line : Lines) {
        line.Shown = false;
        line.OpensLeft = false;
    }
    // A scan that fails part-way must not leave the previous scan's results for "Repair" to act on.
    ProblemCounts.fill(0);
    NotRun.fill(false);
    // A policy set since the last scan counts from this one on.
    Settings = std::make_unique<TSettings>(SettingsFolder + L"Main.ini", PolicyRoots);
    JunkThread.reset();
    SpyScanner->Stopped = 0;
    RegScanner->Stopped = 0;
    PrivScanner->Stopped = 0;
    RunCommand(Scanning, [&] { ScanRows(controls, calls); });
}

void TScanRun::ScanRows(const TScanControls& controls, const TRowCalls& calls)
{
    auto begin = [&](int row) {
        if (calls.Begins)
            calls.Begins(row);
    };
    // The traces of a service's or the system's own profile are no person's: those rows stay out.
    if (NoInteractiveUser && NoInteractiveUser())
        for (int row = 0; row < kRowCount; ++row)
            NotRun[static_cast<size_t>(row)] = kResultRows[static_cast<size_t>(row)].PerUser;
    auto runs = [&](int row) {
        if (!NotRun[static_cast<size_t>(row)])
            return true;
        SetLine(row, NotRunLine(), calls);
        return false;
    };
    if (SpywareOn && Scanning && runs(kSpywareRow)) {
        begin(kSpywareRow);
        ProblemCounts[kSpywareRow] = SpyScanner->Scan(controls.Status, controls.Progress, controls.SpyList);
        controls.SpyList.FitColumns();
        if (Scanning)
            SetLine(kSpywareRow, FoundLine(ProblemCounts[kSpywareRow]), calls);
    }
    if (RegistryOn && Scanning && runs(kRegistryRow)) {
        begin(kRegistryRow);
        ProblemCounts[kRegistryRow] = RegScanner->Scan(controls.Status, controls.Progress, controls.RegList);
        controls.RegList.FitColumns();
        if (Scanning)
            SetLine(kRegistryRow, FoundLine(ProblemCounts[kRegistryRow]), calls);
    }
    if (PrivacyOn && Scanning && runs(kPrivacyRow)) {
        begin(kPrivacyRow);
        const std::wstring selection = controls.Selection();
        ProblemCounts[kPrivacyRow] =
            PrivScanner->Scan(controls.Status, controls.Progress, selection, controls.PrivacyMemo);
        if (Scanning)
            SetLine(kPrivacyRow, FoundLine(ProblemCounts[kPrivacyRow]), calls);
    }
    if (JunkOn && Scanning && runs(kJunkRow)) {
        begin(kJunkRow);
        JunkThread = std::make_unique<TempThread>(controls.Status, controls.Progress, controls.JunkMemo,
                                                  LangTexts->GetSection(L"M_Temp"));
        JunkThread->ScanPrefix = Text(MessageText::ScanPrefix);
        JunkThread->Pause = Pause;
        JunkThread->PolicyRoots = PolicyRoots;
        if (JunkPlaces)
            JunkThread->Places = *JunkPlaces;
        JunkThread->Start();
        // Sleeps while no message waits instead of spinning; the worker's calls wake it.
        JunkThread->WaitUntilFinished();
        ProblemCounts[kJunkRow] = JunkThread->TotalBytes;
        if (Scanning)
            SetLine(kJunkRow, JunkLine(ProblemCounts[kJunkRow], JunkThread->SizeText), calls);
    }
}

void TScanRun::Stop(bool junkRowCurrent)
{
    Scanning = false;
    for (TResultLine& line : Lines)
        line.Shown = false;
    if (SpyScanner)
        SpyScanner->Stopped = 1;
    if (RegScanner)
        RegScanner->Stopped = 1;
    if (PrivScanner)
        PrivScanner->Stopped = 1;
    if (junkRowCurrent && JunkThread)
        JunkThread->Stopped = 1;
}

void TScanRun::Repair(const TScanControls& controls, const TRowCalls& calls)
{
    RunCommand(Scanning, [&] { RepairRows(controls, calls); });
}

void TScanRun::RepairRows(const TScanControls& controls, const TRowCalls& calls)
{
    auto begin = [&](int row) {
        if (calls.Begins)
            calls.Begins(row);
    };
    // Some listed items are still there: a repair that left them is not shown as done.
    auto repaired = [&](int row, const TRepairReport& report) {
        ProblemCounts[static_cast<size_t>(row)] = 0;
        SetLine(row, report.AllDone() ? RepairedLine() : LeftLine(report.Left().size()), calls);
    };
    // Settled before anything is deleted: what a list keeps must still be there to be named.
    const TKeptEntries kept = KeptEntries(controls);
    if (SpywareOn && ProblemCounts[kSpywareRow] > 0) {
        begin(kSpywareRow);
        SpyScanner->Repair(controls.Status, controls.Progress, controls.SpyList, kept);
        controls.SpyList.FitColumns();
        repaired(kSpywareRow, SpyScanner->LastRepair);
    }
    if (RegistryOn && ProblemCounts[kRegistryRow] > 0) {
        begin(kRegistryRow);
        RegScanner->Repair(controls.RegList, controls.Status, controls.Progress, RegRepairLog, kept);
        controls.RegList.FitColumns();
        repaired(kRegistryRow, RegScanner->LastRepair);
    }
    if (PrivacyOn && ProblemCounts[kPrivacyRow] > 0) {
        begin(kPrivacyRow);
        PrivScanner->Repair(controls.Status, controls.Progress, kept);
        repaired(kPrivacyRow, PrivScanner->LastRepair);
    }
    if (JunkOn && ProblemCounts[kJunkRow] > 0 && JunkThread) {
        begin(kJunkRow);
        if (JunkThread->Repair(controls.Status, kept)) {
            // The library's result tells which files are still there.
            JunkThread->CompleteRepairReport(kRemovalWaitMs);
            repaired(kJunkRow, JunkThread->LastRepair);
        } else if (calls.Failed) {
            // Nothing was removed: the row keeps its findings and the user is told why.
            calls.Failed(TextAt(JunkThread->Texts, kJunkLibraryMissingText));
        }
    }
}

TKeptEntries TScanRun::KeptEntries(const TScanControls& controls) const
{
    TKeptEntries kept;
    const auto keep = [&](const std::vector<TEntryPlace>& places, int row) {
        for (const TEntryPlace& place : places)
            kept.Add(place, kResultRows[static_cast<size_t>(row)].Title);
    };
    // A list counts whether or not its own row is repaired now.
    if (SpyScanner)
        keep(SpyScanner->UntickedPlaces(controls.SpyList), kSpywareRow);
    if (RegScanner)
        keep(RegScanner->UntickedPlaces(controls.RegList), kRegistryRow);
    // The privacy categories count as they are ticked now, not as they were at the scan.
    if (PrivScanner)
        keep(PrivScanner->UntickedPlaces(controls.Selection()), kPrivacyRow);
    return kept;
}

void TScanRun::FindingsChanged(int row, int count)
{
    ProblemCounts[static_cast<size_t>(row)] = count;
    Lines[static_cast<size_t>(row)] = FoundLine(count);
}

void TScanRun::Release()
{
    SpyScanner.reset();
    RegScanner.reset();
    PrivScanner.reset();
    JunkThread.reset(); // waits for the thread
}
