#include "app/ConsoleReport.h"

#include "app/QuarantineCommand.h"
#include "app/ReportFile.h"
#include "app/ReportJson.h"
#include "app/ResultRows.h"
#include "app/RunRecord.h"
#include "app/ScanRun.h"
#include "app/Unit2.h"
#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/Kelvor_Routine.h"
#include "common/RepairOutcome.h"
#include "common/SystemFolders.h"
#include "common/TextCompare.h"
#include "junk/TempFileThread.h"
#include "registry/RegistryScan.h"
#include "registry/UndoFile.h"
#include "spyware/SpywareScan.h"
#include "ui/Application.h"
#include "ui/Create.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

#include <windows.h>

#include <array>

namespace {

const wchar_t kNewLine[] = L"\r\n";

const wchar_t* RowName(int row)
{
    return kResultRows[static_cast<size_t>(row)].Title;
}

// The report's names of the lists' columns: the windows show them in the user's language, the report
// stays in English whichever language is chosen.
using TColumnNames = std::array<const wchar_t*, 4>;
const TColumnNames kSpywareColumns = {L"Item Name", L"Description", L"Risk Level", L"Entry"};
const TColumnNames kRegistryColumns = {L"Item Name", L"Registry Key", L"Registry Value", L"Data"};

void ListRows(std::wstring& report, int row, TListView& list)
{
    report += std::wstring(L"[") + RowName(row) + L"]" + kNewLine;
    std::wstring header;
    const TColumnNames& names = row == kSpywareRow ? kSpywareColumns : kRegistryColumns;
    for (size_t c = 0; c < names.size(); ++c)
        header += (c ? L" | " : L"    ") + std::wstring(names[c]);
    report += header + kNewLine;
    for (int i = 0; i < list.Count(); ++i) {
        std::wstring line = list.Checked(i) ? L"[x] " : L"[ ] ";
        line += list.Caption(i);
        for (int c = 1; c < list.ColumnCount(); ++c)
            line += L" | " + list.SubItem(i, c);
        report += line + kNewLine;
    }
    report += kNewLine;
}

// A memo's or a line list's lines, read in place.
template <typename TLines>
void MemoLines(std::wstring& report, const wchar_t* title, const TLines& memo)
{
    report += std::wstring(L"[") + title + L"]" + kNewLine;
    for (int i = 0, n = memo.Count(); i < n; ++i) {
        report += memo.Line(i);
        report += kNewLine;
    }
    report += kNewLine;
}

// The result lines as the main window would show them.
std::wstring ResultLines(const TScanRun& run)
{
    std::wstring text;
    for (int row = 0; row < kRowCount; ++row) {
        const TResultLine& line = run.Lines[static_cast<size_t>(row)];
        text += std::wstring(RowName(row)) + L": " + (line.Shown ? line.Text : L"") + kNewLine;
    }
    return text;
}

// One line of counts and a line per item that is still there.
void RepairSection(std::wstring& report, const wchar_t* title, const TRepairReport* repair)
{
    report += std::wstring(title) + L": ";
    if (!repair || !repair->Ran) {
        report += std::wstring(L"nothing to repair") + kNewLine;
        return;
    }
    for (int i = 0; i < kOutcomeCount; ++i) {
        const auto outcome = static_cast<TOutcome>(i);
        if (i >= kAlwaysCountedOutcomes && repair->Count(outcome) == 0)
            continue;
        report += (i ? L", " : L"") + std::to_wstring(repair->Count(outcome)) + L" " + OutcomeName(outcome);
    }
    report += kNewLine;
    for (const TRepairReport::TItem& item : repair->Left())
        report += std::wstring(L"    not removed (") + OutcomeName(item.Outcome) + L"): " + item.Text +
                  (item.Reason.empty() ? L"" : L": " + item.Reason) + kNewLine;
    for (const TRepairReport::TItem& item : repair->Kept())
        report += L"    kept: unticked in " + item.List + L": " + item.Text + kNewLine;
}

// Where the spyware removal keeps what it removed, or why it removed nothing.
void QuarantineLine(std::wstring& report, const TSpyScan& scanner)
{
    if (!scanner.LastQuarantineRun.empty())
        report += L"    quarantine run " + scanner.LastQuarantineRun + L" (BrisfoldCmd.exe /quarantine restore " +
                  scanner.LastQuarantineRun + L" brings it back): " + scanner.LastQuarantineFolder + kNewLine;
    if (!scanner.LastQuarantineError.empty())
        report += L"    no quarantine, so nothing was removed: " + scanner.LastQuarantineError + kNewLine;
}

// Where the registry repair saved what it deleted, or why it saved nothing.
void UndoFileLine(std::wstring& report, const TScanRegistry& scanner)
{
    if (!scanner.LastUndoFile.empty())
        report += L"    undo file (BrisfoldCmd.exe /restore FILE brings it back): " + scanner.LastUndoFile + kNewLine;
    if (!scanner.LastUndoError.empty())
        report += L"    no undo file, so nothing was deleted: " + scanner.LastUndoError + kNewLine;
}

} // namespace

std::wstring ScanReport(const TScanRun& run, TW_Details& details)
{
    std::wstring report = ResultLines(run) + kNewLine;
    ListRows(report, kSpywareRow, details.SpyListView);
    ListRows(report, kRegistryRow, details.RegListView);
    MemoLines(report, RowName(kPrivacyRow), details.PrivacyList);
    MemoLines(report, RowName(kJunkRow), details.TempMemo);
    return report;
}

namespace {

using TWrite = std::function<void(const std::wstring&)>;

// An error goes to the error stream and into the record.
void Fail(TRunRecord& record, const TWrite& err, const std::wstring& text)
{
    record.Errors.push_back(text);
    err(L"Brisfold: " + text + kNewLine);
}

int RunRestore(const std::wstring& file, TRunRecord& record, const TWrite& out, const TWrite& err)
{
    if (file.empty()) {
        Fail(record, err, L"/restore needs the name of an undo file after it.");
        return kStatusError;
    }
    std::vector<TUndoKey> keys;
    std::wstring error;
    if (!ReadUndoFile(file, keys, error)) {
        Fail(record, err, L"nothing was restored from " + file + L": " + error);
        return kStatusError;
    }
    const TRestoreReport restored = RestoreUndoKeys(keys);
    record.Restore = TRestoreRecord{file, restored.Keys, restored.Values, restored.Failures};
    std::wstring report = L"Restored from " + file + L": " + std::to_wstring(restored.Keys) + L" keys, " +
                          std::to_wstring(restored.Values) + L" values." + kNewLine;
    for (const std::wstring& failure : restored.Failures)
        report += L"    not restored: " + failure + kNewLine;
    out(report);
    return restored.Failures.empty() ? kStatusNothingFound : kStatusLeft;
}

// The lines the quarantine command prints go into the record as they are, its errors as errors.
int RunQuarantine(const TConsoleOptions& options, TRunRecord& record, const TWrite& out, const TWrite& err)
{
    TQuarantineRecord& quarantine = record.Quarantine.emplace();
    quarantine.Arguments = options.QuarantineArguments;
    const auto lines = [](const std::wstring& text) {
        TWideStrings result;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos)
                end = text.size();
            std::wstring line = TrimText(text.substr(start, end - start));
            if (!line.empty())
                result.push_back(std::move(line));
            start = end + 1;
        }
        return result;
    };
    const TWrite keep = [&](const std::wstring& text) {
        for (std::wstring& line : lines(text))
            quarantine.Lines.push_back(std::move(line));
        out(text);
    };
    const TWrite fail = [&](const std::wstring& text) {
        const std::wstring prefix = L"Brisfold: ";
        for (std::wstring& line : lines(text))
            record.Errors.push_back(line.starts_with(prefix) ? line.substr(prefix.size()) : std::move(line));
        err(text);
    };
    return RunQuarantineCommand(options.QuarantineArguments,
                                options.QuarantinePlaces ? *options.QuarantinePlaces : SystemQuarantinePlaces(), keep,
                                fail);
}

// The file name the usage shows: the running program's own.
std::wstring ProgramName()
{
    const std::wstring path = ProgramFileName();
    return path.substr(path.find_last_of(L'\\') + 1);
}

} // namespace

namespace {

// The status line and progress bar the scanners write into, on a hidden window of their own.
struct TStatusWindow {
    TStatusWindow() : Handle(CreateHostWindow())
    {
        Status.Create({.Parent = Handle, .Width = 289, .Height = 16, .Style = SS_LEFTNOWORDWRAP});
        Progress.Create({.Parent = Handle, .Top = 20, .Width = 289, .Height = 17});
        Progress.SetStep(2);
    }
    ~TStatusWindow()
    {
        if (Handle)
            DestroyWindow(Handle);
    }
    TStatusWindow(const TStatusWindow&) = delete;
    TStatusWindow& operator=(const TStatusWindow&) = delete;

    HWND Handle;
    TLabel Status;
    TProgressBar Progress;
};

// Errors that reach the program's handler go to the error stream; the handler in place before is
// put back afterwards.
class TReportedErrors {
public:
    TReportedErrors(const std::function<void(const std::wstring&)>& err, TRunRecord& record)
        : Previous_(std::move(Application().OnException))
    {
        Application().OnException = [this, &err, &record](std::exception_ptr error) {
            Last = ErrorText(error);
            record.Errors.push_back(Last);
            err(L"Quillmar Brisfold: " + Last + kNewLine);
        };
    }
    ~TReportedErrors() { Application().OnException = std::move(Previous_); }
    TReportedErrors(const TReportedErrors&) = delete;
    TReportedErrors& operator=(const TReportedErrors&) = delete;

    std::wstring Last;

private:
    std::function<void(std::exception_ptr)> Previous_;
};

} // namespace

namespace {

int RunScan(const TConsoleOptions& options, TRunRecord& record, const TWrite& out, const TWrite& err)
{
    TReportedErrors errors(err, record);
    // What the window would show in a message box goes to the error stream, each message once.
    bool told = false;
    auto tell = [&](const std::wstring& text, const std::wstring& caption) {
        record.Errors.push_back(text);
        err(caption + L": " + text + kNewLine);
        told = true;
    };
    TStatusWindow window;
    TScanRun run(options.ProgramFolder);
    if (options.PrepareRun)
        options.PrepareRun(run);
    // The pacing is for a person watching the window's bar; here it would only make the run slower.
    run.Pause = nullptr;
    Application().Guard([&] {
        if (const auto failure = run.Start())
            tell(*failure, L"Initialization Error");
    });
    told |= !errors.Last.empty();
    if (run.Settings)
        RecordSettings(record, *run.Settings);
    TW_Details details({window.Handle,
                        [&]() -> TOptionsContext {
                            return {run.OptionTexts, run.ProgramFolder,
                                    run.LangTexts ? run.LangTexts->LanguageName : L"English",
                                    [&](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
                                        tell(text, caption);
                                        return IDOK;
                                    },
                                    run.PolicyRoots};
                        },
                        [&] { return static_cast<const TSettings*>(run.Settings.get()); },
                        [&](int row, int count) { run.FindingsChanged(row, count); },
                        nullptr,
                        nullptr,
                        [&] { return static_cast<const TMultiLan*>(run.LangTexts.get()); }});
    details.Create();

    // Without a window station or display driver the controls that the scanners fill do not exist, and a
    // report from them would say that nothing was found.
    if (!window.Status.Handle() || !details.Handle() || !details.SpyListView.Handle() ||
        !details.RegListView.Handle()) {
        Fail(record, err, L"the program's windows could not be created (error " + std::to_wstring(GetLastError()) +
                              L"); no scan was run.");
        return kStatusError;
    }
    if (!run.Started()) {
        if (!told)
            Fail(record, err, L"start-up failed.");
        return kStatusError;
    }

    const TScanControls controls{window.Status,        window.Progress,    details.SpyListView,
                                 details.RegListView,  details.PrivacyList, details.TempMemo,
                                 [&] { return details.GetSelection(); }};
    // An error ends the command through the program's handler, which reports it; no report of a scan
    // that did not finish follows.
    Application().Guard([&] { run.Scan(controls, {}); });
    if (!errors.Last.empty())
        return kStatusError;
    RecordSettings(record, *run.Settings);
    RecordScan(record, run, details);
    bool found = false;
    for (int64_t count : run.ProblemCounts)
        found |= count > 0;
    std::wstring heading = L"Quillmar Brisfold scan report" + std::wstring(kNewLine);
    if (run.LangTexts && !run.LangTexts->MissingLanguage.empty())
        heading += L"Language \"" + run.LangTexts->MissingLanguage + L"\" named " +
                   (run.Settings->SetByPolicy(kMainSection, L"Language") ? L"by a policy" : L"in Main.ini") +
                   L" has no language file; the texts are English." + kNewLine;
    for (const std::wstring& problem : run.Settings->PolicyProblems())
        heading += problem + kNewLine;
    out(heading + kNewLine + ScanReport(run, details));

    if (!(options.Repair && found)) {
        if (options.Repair)
            out(L"Repair" + std::wstring(kNewLine) + L"Nothing to repair." + kNewLine);
        return found ? kStatusFound : kStatusNothingFound;
    }

    errors.Last.clear();
    const TRowCalls calls{nullptr, nullptr, [&](const std::wstring& text) { tell(text, L"Quillmar Brisfold"); }};
    Application().Guard([&] { run.Repair(controls, calls); });
    bool junkEnded = true;
    if (run.JunkThread)
        junkEnded = run.JunkThread->CompleteRepairReport(kRemovalWaitMs);
    RecordRepair(record, run);
    std::wstring report = L"Repair" + std::wstring(kNewLine) + ResultLines(run) + kNewLine;
    report += std::wstring(L"[Repair report]") + kNewLine;
    for (int row = 0; row < kRowCount; ++row) {
        RepairSection(report, RowName(row), run.LastRepair(row));
        if (row == kSpywareRow && run.SpyScanner)
            QuarantineLine(report, *run.SpyScanner);
        if (row == kRegistryRow && run.RegScanner)
            UndoFileLine(report, *run.RegScanner);
    }
    if (!junkEnded) {
        const std::wstring note = L"Junk Files Clean: the removal library was still running when the report was made.";
        report += note + kNewLine;
        record.Scanners[kJunkRow].Notes.push_back(note);
    }
    report += kNewLine;
    ListRows(report, kSpywareRow, details.SpyListView);
    ListRows(report, kRegistryRow, details.RegListView);
    if (!run.RegRepairLog.empty()) {
        report += std::wstring(L"[Registry repair log]") + kNewLine;
        for (const auto& line : run.RegRepairLog)
            report += line + kNewLine;
        report += kNewLine;
    }
    out(report);
    if (!errors.Last.empty())
        return kStatusError;
    const TRunTotals totals = Totals(record);
    if (totals.Left > 0)
        return kStatusLeft;
    return totals.Scheduled > 0 ? kStatusRestart : kStatusFound;
}

} // namespace

int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err)
{
    if (options.Help) {
        out(UsageText(ProgramName()));
        return kStatusNothingFound;
    }
    TRunRecord record = BeginRecord(options.Restore      ? L"restore"
                                    : options.Quarantine ? L"quarantine"
                                    : options.Repair     ? L"repair"
                                                         : L"scan");
    // Everything but the summary line stays unprinted with /quiet; errors are never held back.
    const TWrite print = [&](const std::wstring& text) {
        if (!options.Quiet)
            out(text);
    };
    auto finish = [&](int status) {
        record.Status = status;
        out(SummaryLine(record) + kNewLine);
        return status;
    };
    if (!options.Error.empty()) {
        record.Command.clear();
        record.Errors.push_back(options.Error);
        err(L"Brisfold: " + options.Error + L"." + kNewLine + kNewLine + UsageText(ProgramName()));
        return finish(kStatusError);
    }
    // A report that cannot be written is known before anything is scanned or changed.
    TReportFile report;
    if (!options.ReportFile.empty()) {
        if (const std::wstring why = report.Prepare(options.ReportFile); !why.empty()) {
            Fail(record, err, L"the report cannot be written: " + why);
            return finish(kStatusError);
        }
    }
    int status = options.Restore      ? RunRestore(options.RestoreFile, record, print, err)
                 : options.Quarantine ? RunQuarantine(options, record, print, err)
                                      : RunScan(options, record, print, err);
    GetSystemTime(&record.End);
    record.Status = status;
    if (!options.ReportFile.empty()) {
        if (const std::wstring why = report.Commit(ReportJson(record)); !why.empty()) {
            Fail(record, err, L"the report was not written: " + why);
            status = kStatusError;
        }
    }
    return finish(status);
}

void WriteStd(DWORD which, const std::wstring& text)
{
    HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = WideToUtf8(text);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
