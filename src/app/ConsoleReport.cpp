#include "app/ConsoleReport.h"

#include "app/QuarantineCommand.h"
#include "app/ResultRows.h"
#include "app/ScanRun.h"
#include "app/Unit2.h"
#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/RepairOutcome.h"
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

namespace {

const wchar_t kNewLine[] = L"\r\n";

bool SameSwitch(const std::wstring& argument, const wchar_t* name)
{
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-'))
        return false;
    return SameText(argument.substr(1), name);
}

void ListRows(std::wstring& report, const wchar_t* title, TListView& list)
{
    report += std::wstring(L"[") + title + L"]" + kNewLine;
    std::wstring header;
    for (int c = 0; c < list.ColumnCount(); ++c) {
        std::wstring caption = list.ColumnCaption(c);
        caption.erase(0, caption.find_first_not_of(L' '));
        header += (c ? L" | " : L"    ") + caption;
    }
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

const wchar_t* RowName(int row)
{
    return kResultRows[static_cast<size_t>(row)].Title;
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

TConsoleOptions ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    TConsoleOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (SameSwitch(argument, L"scan"))
            options.Scan = true;
        else if (SameSwitch(argument, L"repair"))
            options.Repair = true;
        else if (SameSwitch(argument, L"restore")) {
            options.Restore = true;
            if (i + 1 < arguments.size())
                options.RestoreFile = arguments[++i];
        } else if (SameSwitch(argument, L"quarantine")) {
            options.Quarantine = true;
            options.QuarantineArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            break;
        }
    }
    return options;
}

std::wstring ScanReport(const TScanRun& run, TW_Details& details)
{
    std::wstring report = ResultLines(run) + kNewLine;
    ListRows(report, RowName(kSpywareRow), details.SpyListView);
    ListRows(report, RowName(kRegistryRow), details.RegListView);
    MemoLines(report, RowName(kPrivacyRow), details.PrivacyList);
    MemoLines(report, RowName(kJunkRow), details.TempMemo);
    return report;
}

namespace {

int RunRestore(const std::wstring& file, const std::function<void(const std::wstring&)>& out,
               const std::function<void(const std::wstring&)>& err)
{
    if (file.empty()) {
        err(std::wstring(L"Brisfold: /restore needs the name of an undo file after it.") + kNewLine);
        return 2;
    }
    std::vector<TUndoKey> keys;
    std::wstring error;
    if (!ReadUndoFile(file, keys, error)) {
        err(L"Brisfold: nothing was restored from " + file + L": " + error + kNewLine);
        return 2;
    }
    const TRestoreReport restored = RestoreUndoKeys(keys);
    std::wstring report = L"Restored from " + file + L": " + std::to_wstring(restored.Keys) + L" keys, " +
                          std::to_wstring(restored.Values) + L" values." + kNewLine;
    for (const std::wstring& failure : restored.Failures)
        report += L"    not restored: " + failure + kNewLine;
    out(report);
    return restored.Failures.empty() ? 0 : 3;
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
    explicit TReportedErrors(const std::function<void(const std::wstring&)>& err)
        : Previous_(std::move(Application().OnException))
    {
        Application().OnException = [this, &err](std::exception_ptr error) {
            Last = ErrorText(error);
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

int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err)
{
    if (options.Restore)
        return RunRestore(options.RestoreFile, out, err);
    if (options.Quarantine)
        return RunQuarantineCommand(options.QuarantineArguments,
                                    options.QuarantinePlaces ? *options.QuarantinePlaces : SystemQuarantinePlaces(), out,
                                    err);
    TReportedErrors errors(err);
    // What the window would show in a message box goes to the error stream, each message once.
    bool told = false;
    auto tell = [&](const std::wstring& text, const std::wstring& caption) {
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
    TW_Details details({window.Handle,
                        [&]() -> TOptionsContext {
                            return {run.OptionTexts, run.ProgramFolder,
                                    run.LangTexts ? run.LangTexts->LanguageName : L"English",
                                    [&](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
                                        tell(text, caption);
                                        return IDOK;
                                    }};
                        },
                        [&] { return static_cast<const TIniFile*>(run.SettingsIni.get()); },
                        [&](int row, int count) { run.FindingsChanged(row, count); },
                        nullptr});
    details.Create();

    // Without a window station or display driver the controls that the scanners fill do not exist, and a
    // report from them would say that nothing was found.
    if (!window.Status.Handle() || !details.Handle() || !details.SpyListView.Handle() ||
        !details.RegListView.Handle()) {
        err(L"Brisfold: the program's windows could not be created (error " + std::to_wstring(GetLastError()) +
            L"); no scan was run." + kNewLine);
        return 2;
    }
    if (!run.Started()) {
        if (!told)
            err(L"Brisfold: start-up failed." + std::wstring(kNewLine));
        return 2;
    }

    const TScanControls controls{window.Status,        window.Progress,    details.SpyListView,
                                 details.RegListView,  details.PrivacyList, details.TempMemo,
                                 [&] { return details.GetSelection(); }};
    // An error ends the command through the program's handler, which reports it; no report of a scan
    // that did not finish follows.
    Application().Guard([&] { run.Scan(controls, {}); });
    if (!errors.Last.empty())
        return 2;
    bool found = false;
    for (int64_t count : run.ProblemCounts)
        found |= count > 0;
    std::wstring heading = L"Quillmar Brisfold scan report" + std::wstring(kNewLine);
    if (run.LangTexts && !run.LangTexts->MissingLanguage.empty())
        heading += L"Language \"" + run.LangTexts->MissingLanguage + L"\" named in Main.ini has no language file; " +
                   L"the texts are English." + kNewLine;
    out(heading + kNewLine + ScanReport(run, details));

    if (!(options.Repair && found)) {
        if (options.Repair)
            out(L"Repair" + std::wstring(kNewLine) + L"Nothing to repair." + kNewLine);
        return found ? 1 : 0;
    }

    errors.Last.clear();
    const TRowCalls calls{nullptr, nullptr, [&](const std::wstring& text) { tell(text, L"Quillmar Brisfold"); }};
    Application().Guard([&] { run.Repair(controls, calls); });
    bool junkEnded = true;
    if (run.JunkThread)
        junkEnded = run.JunkThread->CompleteRepairReport(kRemovalWaitMs);
    std::wstring report = L"Repair" + std::wstring(kNewLine) + ResultLines(run) + kNewLine;
    report += std::wstring(L"[Repair report]") + kNewLine;
    bool allDone = true;
    for (int row = 0; row < kRowCount; ++row) {
        const TRepairReport* repair = run.LastRepair(row);
        RepairSection(report, RowName(row), repair);
        allDone &= !repair || repair->AllDone();
        if (row == kSpywareRow && run.SpyScanner)
            QuarantineLine(report, *run.SpyScanner);
        if (row == kRegistryRow && run.RegScanner)
            UndoFileLine(report, *run.RegScanner);
    }
    if (!junkEnded)
        report += std::wstring(L"Junk Files Clean: the removal library was still running when the report was made.") +
                  kNewLine;
    report += kNewLine;
    ListRows(report, RowName(kSpywareRow), details.SpyListView);
    ListRows(report, RowName(kRegistryRow), details.RegListView);
    if (!run.RegRepairLog.empty()) {
        report += std::wstring(L"[Registry repair log]") + kNewLine;
        for (const auto& line : run.RegRepairLog)
            report += line + kNewLine;
        report += kNewLine;
    }
    out(report);
    if (!errors.Last.empty())
        return 2;
    return allDone ? 1 : 3;
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
