#include "app/ConsoleReport.h"

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "common/CodePage.h"
#include "common/RepairOutcome.h"
#include "privacy/PrivacyScanner.h"
#include "registry/RegistryScan.h"
#include "registry/UndoFile.h"
#include "spyware/SpywareScan.h"
#include "junk/TempFileThread.h"
#include "ui/Application.h"

#include <windows.h>

namespace {

const wchar_t kNewLine[] = L"\r\n";
// How long the report waits for the removal library before it looks at the listed files.
constexpr DWORD kJunkRemovalWaitMs = 10 * 60 * 1000;
const wchar_t* kRowNames[4] = {L"Spyware Removal", L"Registry Fix", L"Privacy Sweep", L"Junk Files Clean"};

bool SameSwitch(const std::wstring& argument, const wchar_t* name)
{
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-'))
        return false;
    return CompareStringOrdinal(argument.c_str() + 1, -1, name, -1, TRUE) == CSTR_EQUAL;
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

void MemoLines(std::wstring& report, const wchar_t* title, const TMemo& memo)
{
    report += std::wstring(L"[") + title + L"]" + kNewLine;
    for (const auto& line : memo.Lines())
        report += line + kNewLine;
    report += kNewLine;
}

std::wstring ResultLines(TForm1& form)
{
    TLabel* lines[4] = {&form.LP1, &form.LP2, &form.LP3, &form.LP4};
    std::wstring text;
    for (int row = 0; row < 4; ++row)
        text += std::wstring(kRowNames[row]) + L": " + (lines[row]->VisibleFlag() ? lines[row]->Caption() : L"") +
                kNewLine;
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
        report += std::wstring(L"    not removed (") + OutcomeName(item.Outcome) + L"): " + item.Text + kNewLine;
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
        }
    }
    return options;
}

std::wstring ScanReport(TForm1& form, TW_Details& details)
{
    std::wstring report = ResultLines(form) + kNewLine;
    ListRows(report, kRowNames[0], details.SpyListView);
    ListRows(report, kRowNames[1], details.RegListView);
    MemoLines(report, kRowNames[2], details.PrivacyList);
    MemoLines(report, kRowNames[3], details.TempMemo);
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

int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err)
{
    if (options.Restore)
        return RunRestore(options.RestoreFile, out, err);
    TForm1 form(options.ProgramFolder);
    // What the window would show in a message box goes to the error stream, each message once.
    bool told = false;
    bool quitAsked = false;
    form.ShowMessage = [&](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
        err(caption + L": " + text + kNewLine);
        told = true;
        return IDOK;
    };
    form.QuitApplication = [&] { quitAsked = true; };
    form.OpenUrl = [](const std::wstring&) {};
    form.Create(false);
    // The console run scans once, now, instead of from the start timer.
    form.Timer2.SetEnabled(false);
    TW_Details details(form);
    details.Create();

    // Without a window station or display driver the controls that the scanners fill do not exist, and a
    // report from them would say that nothing was found.
    if (!form.Handle() || !details.Handle() || !details.SpyListView.Handle() || !details.RegListView.Handle()) {
        err(L"Brisfold: the program's windows could not be created (error " + std::to_wstring(GetLastError()) +
            L"); no scan was run." + kNewLine);
        return 2;
    }
    const bool started = form.SpywareOn && form.RegistryOn && form.PrivacyOn && form.JunkOn && !quitAsked;
    if (!started) {
        if (!told)
            err(L"Brisfold: start-up failed." + std::wstring(kNewLine));
        return 2;
    }

    // An error ends the command through the program's handler, which reports it; no report of a scan
    // that did not finish follows.
    Application().Guard([&] { form.TntButton1Click(); });
    if (!form.LastErrorMessage.empty())
        return 2;
    bool found = false;
    for (int64_t count : form.ProblemCounts)
        found |= count > 0;
    std::wstring heading = L"Quillmar Brisfold scan report" + std::wstring(kNewLine);
    if (form.LangTexts && !form.LangTexts->MissingLanguage.empty())
        heading += L"Language \"" + form.LangTexts->MissingLanguage + L"\" named in Main.ini has no language file; " +
                   L"the texts are English." + kNewLine;
    out(heading + kNewLine + ScanReport(form, details));

    if (!(options.Repair && found)) {
        if (options.Repair)
            out(L"Repair" + std::wstring(kNewLine) + L"Nothing to repair." + kNewLine);
        return found ? 1 : 0;
    }

    form.LastErrorMessage.clear();
    Application().Guard([&] { form.TntButton3Click(); });
    bool junkEnded = true;
    if (form.JunkThread)
        junkEnded = form.JunkThread->CompleteRepairReport(kJunkRemovalWaitMs);
    const TRepairReport* reports[4] = {
        form.SpyScanner ? &form.SpyScanner->LastRepair : nullptr,
        form.RegScanner ? &form.RegScanner->LastRepair : nullptr,
        form.PrivScanner ? &form.PrivScanner->LastRepair : nullptr,
        form.JunkThread ? &form.JunkThread->LastRepair : nullptr,
    };
    std::wstring report = L"Repair" + std::wstring(kNewLine) + ResultLines(form) + kNewLine;
    report += std::wstring(L"[Repair report]") + kNewLine;
    bool allDone = true;
    for (int row = 0; row < 4; ++row) {
        RepairSection(report, kRowNames[row], reports[row]);
        allDone &= !reports[row] || reports[row]->AllDone();
        if (row == 1 && form.RegScanner)
            UndoFileLine(report, *form.RegScanner);
    }
    if (!junkEnded)
        report += std::wstring(L"Junk Files Clean: the removal library was still running when the report was made.") +
                  kNewLine;
    report += kNewLine;
    ListRows(report, kRowNames[0], details.SpyListView);
    ListRows(report, kRowNames[1], details.RegListView);
    if (!form.RegRepairLog.empty()) {
        report += std::wstring(L"[Registry repair log]") + kNewLine;
        for (const auto& line : form.RegRepairLog)
            report += line + kNewLine;
        report += kNewLine;
    }
    out(report);
    if (!form.LastErrorMessage.empty())
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
