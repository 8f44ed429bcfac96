// The main window: start-up, the states of a scan and a repair, result lines, mouse handling, closing.
#include "AppFixture.h"
#include "ModalDriver.h"
#include "app/LeftItemsDialog.h"
#include "ui/Application.h"

#include "common/FormatText.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "junk/TempFileThread.h"
#include "privacy/PrivacyScanner.h"
#include "registry/RegistryScan.h"
#include "spyware/SpywareScan.h"
#include "ui/Dpi.h"
#include "ui/MessagePump.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 128, 0);

std::wstring Countf(int line, int64_t count)
{
    return FormatText(Lng(L"Message", line), std::vector<TFormatArg>{count});
}

class MainWindow : public AppFixture {};

TEST_F(MainWindow, StartupLeavesTheStartingState)
{
    WriteDefinitions(0);
    StartProgram();
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(QuitRequests, 0);
    EXPECT_EQ(Form->Caption(), L"Quillmar Brisfold");
    EXPECT_TRUE(Form->Run.SpywareOn && Form->Run.RegistryOn && Form->Run.PrivacyOn && Form->Run.JunkOn);
    EXPECT_FALSE(Form->Run.Scanning);
    EXPECT_EQ(Form->Run.ProgramFolder, ProgramDir);
    EXPECT_EQ(Form->Run.SettingsFolder, SettingsDir);
    EXPECT_EQ(Form->TntLabel1.FontColor(), RGB(99, 156, 211));
    EXPECT_TRUE(Form->Timer2.Enabled());
    EXPECT_EQ(Form->Timer2.Interval(), 500u);
    EXPECT_FALSE(Form->Timer1.Enabled());
    EXPECT_EQ(Form->Timer1.Interval(), 1000u);
    for (TControl* hidden : {static_cast<TControl*>(&Form->TntButton1), static_cast<TControl*>(&Form->TntButton3),
                             static_cast<TControl*>(&Form->TntBitBtn1), static_cast<TControl*>(&Form->LP1),
                             static_cast<TControl*>(&Form->IM_Flag), static_cast<TControl*>(&Form->TotalP_A),
                             static_cast<TControl*>(&Form->LEntry), static_cast<TControl*>(&Form->ani1)})
        EXPECT_FALSE(hidden->VisibleFlag());
    // The scanners got their texts and icon indices.
    EXPECT_EQ(Form->Run.SpyScanner->ScanPrefix, Lng(L"M_SpywareScan", 0));
    EXPECT_EQ(Form->Run.SpyScanner->RepairPrefix, Lng(L"M_SpywareScan", 15));
    EXPECT_EQ(Form->Run.SpyScanner->FileImage, 1);
    EXPECT_EQ(Form->Run.SpyScanner->CookieImage, 3);
    EXPECT_EQ(Form->Run.RegScanner->ScanPrefix, Lng(L"Message", 15) + L" ");
    EXPECT_EQ(Form->Run.RegScanner->RepairPrefix, Lng(L"Message", 16));
    EXPECT_EQ(Form->Run.RegScanner->SecondImageIndex, 5);
    EXPECT_EQ(Form->Run.PrivScanner->RepairPrefix, Lng(L"Message", 17));
}

TEST_F(MainWindow, ComponentsOfTheLayout)
{
    WriteDefinitions(0);
    StartProgram();
    auto at = [&](const TControl& c, int left, int top) {
        EXPECT_EQ(c.Left(), MulDiv(left, DpiOf(Form->Handle()), 96));
        EXPECT_EQ(c.Top(), MulDiv(top, DpiOf(Form->Handle()), 96));
    };
    at(Form->lbl1, 352, 8);
    at(Form->lbl2, 8, 328);
    at(Form->TotalP_A, 64, 283);
    at(Form->LEntry, 64, 302);
    at(Form->TntButton1, 264, 327);
    at(Form->TntButton3, 88, 327);
    at(Form->TntBitBtn1, 160, 327);
    at(Form->LP3, 264, 186);
    at(Form->TntLabel29, 80, 234);
    EXPECT_EQ(Form->TntButton1.Hint(), L"Click to scan your computer.");
    EXPECT_EQ(Form->TntButton3.Hint(), L"Click to fix problems.");
    EXPECT_EQ(Form->TntBitBtn1.Hint(), L"Stop current scanner.");
    EXPECT_EQ(Form->TntLabel17.Caption(), L"Spyware Removal");
    EXPECT_EQ(Form->TntLabel18.Caption(), L"Scan and remove Spyware, Adware.");
    EXPECT_EQ(Form->LEntry.Caption(), L"Scanner:");
    EXPECT_EQ(Form->lbl1.FontStyle(), fsBold | fsUnderline);
    EXPECT_EQ(Form->TotalP_A.Step(), 2);
    EXPECT_TRUE(Form->ani1.Open());
    EXPECT_EQ(Form->TntImage2.Pixels().Width, 425);
    EXPECT_FALSE(Form->IM_Flag.Empty());

    Form->lbl1.Click();
    Form->lbl2.Click();
    ASSERT_EQ(OpenedUrls.size(), 2u);
    EXPECT_EQ(OpenedUrls[0], TForm1::kHomePage);
    EXPECT_EQ(OpenedUrls[1], TForm1::kProductPage);
}

TEST_F(MainWindow, ANewMonitorDpiRescalesTheLayout)
{
    WriteDefinitions(0);
    StartProgram();
    const int dpi = DpiOf(Form->Handle());
    const int left = Form->lbl2.Left(), top = Form->lbl2.Top(), width = Form->TotalP_A.Width();
    LOGFONTW before{}, after{};
    GetObjectW(Form->LP1.Font(), sizeof(before), &before);
    RECT suggested{0, 0, 900, 800};
    SendMessageW(Form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi * 2, dpi * 2), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Form->lbl2.Left(), left * 2);
    EXPECT_EQ(Form->lbl2.Top(), top * 2);
    EXPECT_EQ(Form->TotalP_A.Width(), width * 2);
    GetObjectW(Form->LP1.Font(), sizeof(after), &after);
    EXPECT_EQ(after.lfHeight, before.lfHeight * 2);
    // Styles set at run time survive the new font.
    Form->LP1.SetFontStyle(fsBold | fsUnderline);
    GetObjectW(Form->LP1.Font(), sizeof(after), &after);
    EXPECT_EQ(after.lfHeight, before.lfHeight * 2);
    EXPECT_TRUE(after.lfUnderline);

    const int column = Details->SpyListView.ColumnWidth(3);
    SendMessageW(Details->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi * 2, dpi * 2), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Details->SpyListView.ColumnWidth(3), column * 2);
    EXPECT_EQ(Details->chk2.Left(), MulDiv(8, dpi * 2, 96));
}

TEST_F(MainWindow, StartTimerRunsTheRowsInOrder)
{
    WriteDefinitions(1);
    StartProgram();
    DWORD start = GetTickCount();
    while (!Form->TntButton3.VisibleFlag() && GetTickCount() - start < 60000) {
        ProcessMessages();
        Sleep(10);
    }
    EXPECT_FALSE(Form->Timer2.Enabled());
    EXPECT_EQ(RowsStarted, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Form->Run.ProblemCounts[0], 1);
}

TEST_F(MainWindow, ResultLinesAfterAScan)
{
    struct Case {
        int Findings;
        std::wstring Caption;
        COLORREF Color;
    } cases[] = {
        {0, Lng(L"Message", 0), kGreen},
        {1, Countf(1, 1), kRed},
        {3, Countf(2, 3), kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Findings);
        WriteDefinitions(c.Findings);
        StartProgram();
        ScanNow();
        EXPECT_EQ(Form->Run.ProblemCounts[0], c.Findings);
        EXPECT_EQ(Details->SpyListView.Count(), c.Findings);
        EXPECT_TRUE(Form->LP1.VisibleFlag());
        EXPECT_EQ(Form->LP1.Caption(), c.Caption);
        EXPECT_EQ(Form->LP1.FontColor(), c.Color);
        EXPECT_TRUE(Form->LP1.FontStyle() & fsBold);
        // The other rows found nothing.
        for (TLabel* line : {&Form->LP2, &Form->LP3, &Form->LP4}) {
            EXPECT_TRUE(line->VisibleFlag());
            EXPECT_EQ(line->Caption(), Lng(L"Message", 0));
            EXPECT_EQ(line->FontColor(), kGreen);
        }
        // Scanned state.
        EXPECT_FALSE(Form->Run.Scanning);
        EXPECT_FALSE(Form->Timer1.Enabled());
        EXPECT_TRUE(Form->TntButton3.VisibleFlag());
        EXPECT_EQ(Form->TntButton3.Left(), Form->TntButton1.Left());
        EXPECT_FALSE(Form->TntButton1.VisibleFlag());
        EXPECT_FALSE(Form->TntBitBtn1.VisibleFlag());
        EXPECT_FALSE(Form->TotalP_A.VisibleFlag());
        EXPECT_FALSE(Form->LEntry.VisibleFlag());
        EXPECT_FALSE(Form->IM_Flag.VisibleFlag());
        EXPECT_FALSE(Form->TntLabel43.VisibleFlag());
        EXPECT_FALSE(Form->ani1.VisibleFlag());
        EXPECT_FALSE(Form->ani1.Active());
        Details.reset();
        Form.reset();
        RowsStarted.clear();
    }
}

TEST_F(MainWindow, ScanningStateWhileARowRuns)
{
    WriteDefinitions(1);
    StartProgram();
    struct Seen {
        bool Stop, StopAtStartLeft, Start, Repair, Animation, AnimationPlays, Flag, FlagOnRow, Status, Progress,
            ScanningLabel, Blink, FinishedRowLine, CurrentRowLine;
    };
    std::vector<Seen> seen;
    Form->OnRowStart = [&](int row) {
        TLabel* lines[4] = {&Form->LP1, &Form->LP2, &Form->LP3, &Form->LP4};
        TLabel* titles[4] = {&Form->TntLabel17, &Form->TntLabel25, &Form->TntLabel27, &Form->TntLabel29};
        seen.push_back({Form->TntBitBtn1.VisibleFlag(), Form->TntBitBtn1.Left() == Form->TntButton1.Left(),
                        Form->TntButton1.VisibleFlag(), Form->TntButton3.VisibleFlag(), Form->ani1.VisibleFlag(),
                        Form->ani1.Active(), Form->IM_Flag.VisibleFlag(), Form->IM_Flag.Top() == titles[row]->Top(),
                        Form->LEntry.VisibleFlag(), Form->TotalP_A.VisibleFlag(), Form->TntLabel43.VisibleFlag(),
                        Form->Timer1.Enabled(), row == 0 || lines[row - 1]->VisibleFlag(), lines[row]->VisibleFlag()});
    };
    ScanNow();
    ASSERT_EQ(seen.size(), 4u);
    for (size_t row = 0; row < seen.size(); ++row) {
        SCOPED_TRACE(row);
        const Seen& s = seen[row];
        const std::pair<const char*, bool> shown[] = {
            {"Stop Scan", s.Stop},        {"Stop Scan at 264", s.StopAtStartLeft}, {"animation", s.Animation},
            {"playing", s.AnimationPlays}, {"flag on the row", s.FlagOnRow},       {"status line", s.Status},
            {"progress bar", s.Progress}, {"Scanning...", s.ScanningLabel},       {"blink timer", s.Blink},
            {"finished row's line", s.FinishedRowLine}};
        for (const auto& [name, value] : shown)
            EXPECT_TRUE(value) << name;
        // The flag blinks from the first row on; it is shown when the scan begins.
        if (row == 0) {
            EXPECT_TRUE(s.Flag);
        }
        for (bool hidden : {s.Start, s.Repair, s.CurrentRowLine})
            EXPECT_FALSE(hidden);
    }
}

TEST_F(MainWindow, AnimationClipByWindowsVersion)
{
    WriteDefinitions(0);
    const bool fromFile = WindowsVersionName() == L"Windows Vista";
    StartProgram();
    EXPECT_TRUE(Form->ani1.Open());
    EXPECT_EQ(Form->ani1.FileName(), fromFile ? ProgramDir + L"Scan.avi" : L"");
    // Without the file the built-in clip stays and the start-up goes on.
    Details.reset();
    Form.reset();
    ASSERT_TRUE(DeleteFileW((ProgramDir + L"Scan.avi").c_str()));
    StartProgram();
    EXPECT_TRUE(Form->ani1.Open());
    EXPECT_TRUE(Form->Run.SpywareOn);
    EXPECT_EQ(Form->Caption(), L"Quillmar Brisfold");
}

TEST_F(MainWindow, BlinkTimerTogglesTheFlag)
{
    WriteDefinitions(0);
    StartProgram();
    Form->IM_Flag.Show();
    Form->Timer1Timer();
    EXPECT_FALSE(Form->IM_Flag.VisibleFlag());
    Form->Timer1Timer();
    EXPECT_TRUE(Form->IM_Flag.VisibleFlag());
}

TEST_F(MainWindow, JunkRowShowsTheSizeText)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"TempFile", L"1");
    Folder.MakeFile(L"temp\\old.tmp", 5000, 10);
    Folder.MakeFile(L"temp\\old2.tmp", 120, 10);
    StartProgram();
    ScanNow();
    EXPECT_EQ(Form->Run.ProblemCounts[3], 5120);
    EXPECT_EQ(Form->LP4.Caption(), FormatText(Lng(L"Message", 3), std::vector<TFormatArg>{Form->Run.JunkThread->SizeText}));
    EXPECT_NE(Form->Run.JunkThread->SizeText.find(L"KB"), std::wstring::npos) << Form->Run.JunkThread->SizeText.c_str();
    EXPECT_EQ(Form->LP4.FontColor(), kRed);
}

TEST_F(MainWindow, RepairRepairsRowsWithFindingsOnly)
{
    WriteDefinitions(3);
    StartProgram();
    ScanNow();
    ASSERT_EQ(Form->Run.ProblemCounts[0], 3);
    const std::wstring registryLine = Form->LP2.Caption();
    Form->TntButton3Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(i))) << i;
    EXPECT_EQ(Form->Run.ProblemCounts[0], 0);
    EXPECT_EQ(Form->LP1.Caption(), Lng(L"Message", 4));
    EXPECT_EQ(Form->LP1.FontColor(), kGreen);
    EXPECT_EQ(Form->LP1.FontStyle(), fsBold);
    // A row with nothing found keeps its line from the scan.
    EXPECT_EQ(Form->LP2.Caption(), registryLine);
    // Repaired state.
    EXPECT_FALSE(Form->Run.Scanning);
    EXPECT_TRUE(Form->TntButton1.VisibleFlag());
    EXPECT_FALSE(Form->TntButton3.VisibleFlag());
    EXPECT_TRUE(Form->TotalP_A.VisibleFlag());
    EXPECT_FALSE(Form->IM_Flag.VisibleFlag());
    EXPECT_FALSE(Form->LEntry.VisibleFlag());
    // A second scan runs all four rows again.
    RowsStarted.clear();
    Form->TntButton1Click();
    EXPECT_EQ(RowsStarted, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Form->LP1.Caption(), Lng(L"Message", 0));
}

TEST_F(MainWindow, AScanThatFailsPartWayLeavesNothingToRepair)
{
    WriteDefinitions(1);
    StartProgram();
    ScanNow();
    ASSERT_EQ(Form->Run.ProblemCounts[0], 1);
    ASSERT_NE(Form->Run.JunkThread, nullptr);
    // The next scan fails in its first row: a risk level that is no number.
    for (std::string& line : Form->Run.SpyScanner->Definitions.at(0))
        if (line.rfind("Risk=", 0) == 0)
            line = "Risk=high";
    Application().Guard([this] { ScanNow(); });
    EXPECT_FALSE(Form->LastErrorMessage.empty());
    EXPECT_EQ(Form->Run.ProblemCounts, (std::array<int64_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(Form->Run.JunkThread, nullptr);
    Form->TntButton3Click();
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0))) << "nothing of the earlier scan is repaired";
    EXPECT_FALSE(Form->LP1.VisibleFlag());
}

TEST_F(MainWindow, AMissingRemovalLibraryIsToldAndTheJunkRowKeepsItsFindings)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"TempFile", L"1");
    const std::wstring old = Folder.MakeFile(L"temp\\old.tmp", 4096, 30);
    StartProgram();
    ScanNow();
    ASSERT_GT(Form->Run.ProblemCounts[3], 0);
    const std::wstring line = Form->LP4.Caption();
    Form->Run.JunkThread->LibraryPath = Folder / L"program\\Ravenwick.dll"; // not there
    Form->TntButton3Click();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, Lng(L"M_Temp", 4));
    EXPECT_EQ(Messages[0].Flags & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_GT(Form->Run.ProblemCounts[3], 0) << "the row keeps its findings";
    EXPECT_EQ(Form->LP4.Caption(), line) << "the row is not shown as repaired";
    EXPECT_TRUE(PathExists(old));
}

TEST_F(MainWindow, AJunkRepairThatLeftFilesSaysSoInRed)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"IE Cache", L"1");
    const std::wstring page = Folder.MakeFile(L"Cache\\Content.IE5\\X1\\page.htm", 4096);
    const std::wstring held = Folder.MakeFile(L"Cache\\Content.IE5\\X1\\held.htm", 4096);
    StartProgram();
    ScanNow();
    ASSERT_EQ(Form->Run.JunkThread->Listed.size(), 2u);
    for (const std::wstring& file : Form->Run.JunkThread->Listed)
        ASSERT_TRUE(PathIsAtOrBelow(file, Folder.Path())) << "the repair stays in the test's folder";
    THandle open(CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open) << GetLastError();
    Form->TntButton3Click();
    EXPECT_FALSE(PathExists(page));
    EXPECT_TRUE(PathExists(held));
    // The row reads the library's result, as the console report does.
    EXPECT_EQ(Form->LP4.Caption(), FormatText(Lng(L"Message", 19), {int64_t(1)}));
    EXPECT_EQ(Form->LP4.FontColor(), kRed);

    // The red line is a link to what was left, each item with why.
    const std::vector<TRepairReport::TItem>& left = Form->Run.JunkThread->LastRepair.Left();
    ASSERT_EQ(left.size(), 1u);
    Form->LP4MouseMove();
    EXPECT_EQ(Form->LP4.FontStyle(), fsBold | fsUnderline);
    EXPECT_EQ(Form->LP4.Cursor(), LoadCursorW(nullptr, IDC_HAND));
    std::wstring caption, item, why;
    const bool shown = WhileModal([&] { Form->LP4.Click(); },
                                  [&](HWND dialog) {
                                      caption = WindowText(dialog);
                                      const HWND list = GetDlgItem(dialog, LeftItem::List);
                                      wchar_t text[1024] = {};
                                      if (ListView_GetItemCount(list) == 1) {
                                          ListView_GetItemText(list, 0, 0, text, 1024);
                                          item = text;
                                          ListView_GetItemText(list, 0, 1, text, 1024);
                                          why = text;
                                      }
                                      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                  });
    ASSERT_TRUE(shown);
    EXPECT_EQ(caption, Lng(L"Message", 22));
    EXPECT_EQ(item, left[0].Text);
    EXPECT_NE(item.find(L"held.htm"), std::wstring::npos) << testing::PrintToString(item);
    const std::wstring outcome = Lng(L"Message", 27 + static_cast<int>(left[0].Outcome));
    EXPECT_EQ(why.substr(0, outcome.size()), outcome) << testing::PrintToString(why);
    EXPECT_EQ(Details->ModalCount(), 0) << "the line opens the list, not the details";

    // The next scan's line opens the details again.
    open.Reset();
    ScanNow();
    EXPECT_FALSE(Form->Run.Lines[3].OpensLeft);
}

TEST_F(MainWindow, ClicksAndHoverOnResultLines)
{
    WriteDefinitions(1);
    StartProgram();
    ScanNow();
    ASSERT_EQ(Form->Run.ProblemCounts[0], 1);
    ASSERT_EQ(Form->Run.ProblemCounts[1], 0);
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);

    // Count 0: no click, no underline.
    Form->LP2.Click();
    EXPECT_EQ(Details->ModalCount(), 0);
    Form->LP2MouseMove();
    EXPECT_EQ(Form->LP2.FontStyle(), fsBold);
    EXPECT_NE(Form->LP2.Cursor(), hand);

    // While scanning, nothing reacts.
    Form->Run.Scanning = true;
    Form->LP1.Click();
    Form->LP1MouseMove();
    EXPECT_EQ(Details->ModalCount(), 0);
    EXPECT_EQ(Form->LP1.FontStyle(), fsBold);
    Form->Run.Scanning = false;

    Form->LP1MouseMove();
    EXPECT_EQ(Form->LP1.FontStyle(), fsBold | fsUnderline);
    EXPECT_EQ(Form->LP1.Cursor(), hand);
    Form->LP1MouseLeave();
    EXPECT_EQ(Form->LP1.FontStyle(), fsBold);
    EXPECT_NE(Form->LP1.Cursor(), hand);

    // A click opens the details window at the row's page; its "OK" button ends the modal display.
    Details->TntPageControl1.SetActivePageIndex(3);
    PostMessageW(Details->btn1.Handle(), BM_CLICK, 0, 0);
    Form->LP1.Click();
    EXPECT_EQ(Details->ModalCount(), 1);
    EXPECT_EQ(Details->TntPageControl1.ActivePageIndex(), 0);
    EXPECT_FALSE(Details->Modal());
    EXPECT_FALSE(IsWindowVisible(Details->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
}

// A key as the user presses it on the control that has the focus, through the program's message loop.
void PressKey(WPARAM key)
{
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 0x00000001);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    ProcessMessages();
}

TEST_F(MainWindow, TheKeyboardReachesTheResultLinesAndRepair)
{
    WriteDefinitions(1);
    StartProgram();
    ScanNow();
    ASSERT_EQ(Form->Run.ProblemCounts[kSpywareRow], 1);
    ShowWindow(Form->Handle(), SW_SHOW);
    SetForegroundWindow(Form->Handle());
    SetFocus(Form->Handle());

    // Tab walks the result lines and "Repair", and round again.
    std::vector<HWND> reached;
    for (int i = 0; i < 6; ++i) {
        PressKey(VK_TAB);
        reached.push_back(GetFocus());
    }
    EXPECT_EQ(reached, (std::vector<HWND>{Form->LP1.Handle(), Form->LP2.Handle(), Form->LP3.Handle(),
                                          Form->LP4.Handle(), Form->TntButton3.Handle(), Form->LP1.Handle()}));
    // The line with the focus shows it.
    LOGFONTW font{};
    GetObjectW(Form->LP1.Font(), sizeof(font), &font);
    EXPECT_TRUE(font.lfUnderline);

    // Enter and Space on a line with findings open its details; the details' "OK" ends them.
    int shown = 0;
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        SetFocus(Form->LP1.Handle());
        Details->TntPageControl1.SetActivePageIndex(3);
        const HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 0x00000001);
        PostMessageW(Details->btn1.Handle(), BM_CLICK, 0, 0);
        ProcessMessages();
        EXPECT_EQ(Details->ModalCount(), ++shown) << key;
        EXPECT_EQ(Details->TntPageControl1.ActivePageIndex(), 0);
        EXPECT_EQ(GetFocus(), Form->LP1.Handle()) << "the keyboard is back on the line it opened";
    }
    // A line without findings opens nothing.
    SetFocus(Form->LP2.Handle());
    PressKey(VK_RETURN);
    EXPECT_EQ(Details->ModalCount(), shown);
    // The whole title of a row opens its details too.
    PostMessageW(Details->btn1.Handle(), BM_CLICK, 0, 0);
    Form->TntLabel17.HandleMouse(WM_LBUTTONDOWN, 0, 0);
    Form->TntLabel17.HandleMouse(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(Details->ModalCount(), ++shown);
    Form->TntLabel25.Click(); // the registry row found nothing
    EXPECT_EQ(Details->ModalCount(), shown);

    // Enter on "Repair" repairs; the focus goes to "Start Scan", which takes its place.
    SetFocus(Form->TntButton3.Handle());
    PressKey(VK_RETURN);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_TRUE(Form->TntButton1.VisibleFlag());
    EXPECT_EQ(GetFocus(), Form->TntButton1.Handle());
    ShowWindow(Form->Handle(), SW_HIDE);
}

TEST_F(MainWindow, StopScanDuringTheSpywareRowEndsTheScanAndTheProgram)
{
    WriteDefinitions(2);
    StartProgram();
    // The click waits in the queue until the spyware scanner lets messages run.
    Form->OnRowStart = [this](int row) {
        RowsStarted.push_back(row);
        if (row == 0)
            PostMessageW(Form->TntBitBtn1.Handle(), BM_CLICK, 0, 0);
    };
    ScanNow();
    EXPECT_EQ(RowsStarted, std::vector<int>{0});
    EXPECT_EQ(Form->Run.SpyScanner->Stopped, 1);
    EXPECT_EQ(Form->Run.RegScanner->Stopped, 1);
    EXPECT_EQ(QuitRequests, 1);
    EXPECT_FALSE(Form->Run.Scanning);
    for (TLabel* line : {&Form->LP1, &Form->LP2, &Form->LP3, &Form->LP4})
        EXPECT_FALSE(line->VisibleFlag());
    EXPECT_FALSE(Form->Timer1.Enabled());
    EXPECT_EQ(Form->Run.JunkThread, nullptr);
}

TEST_F(MainWindow, StopScanDuringTheJunkRowStopsTheThread)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"TempFile", L"1");
    for (int i = 0; i < 50; ++i)
        Folder.MakeFile(L"temp\\f" + std::to_wstring(i) + L".tmp", 10, 10);
    StartProgram();
    Form->OnRowStart = [this](int row) {
        RowsStarted.push_back(row);
        if (row == 3)
            PostMessageW(Form->TntBitBtn1.Handle(), BM_CLICK, 0, 0);
    };
    ScanNow();
    EXPECT_EQ(RowsStarted, (std::vector<int>{0, 1, 2, 3}));
    ASSERT_NE(Form->Run.JunkThread, nullptr);
    EXPECT_EQ(Form->Run.JunkThread->Stopped, 1);
    EXPECT_EQ(Form->Run.JunkThread->Finished, 1);
    EXPECT_FALSE(Form->LP4.VisibleFlag());
    EXPECT_EQ(QuitRequests, 1);
}

TEST_F(MainWindow, ClosingDuringAScanAsksAndStopsOnlyWhenTheUserAgrees)
{
    struct Case {
        const char* Name;
        int Answer;
        std::vector<int> Rows; // the rows the scan started
        int QuitRequests;
    } cases[] = {
        {"the user keeps the scan", IDNO, {0, 1, 2, 3}, 0},
        {"the user stops it and closes", IDYES, {0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteDefinitions(1);
        StartProgram();
        RowsStarted.clear();
        Messages.clear();
        Form->ShowMessage = [&](HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
            Messages.push_back({text, caption, flags});
            return c.Answer;
        };
        // The close box is pressed while the spyware scanner runs.
        Form->OnRowStart = [this](int row) {
            RowsStarted.push_back(row);
            if (row == 0)
                PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
        };
        ScanNow();
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, Lng(L"Message", 21));
        EXPECT_EQ(Messages[0].Flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        EXPECT_EQ(RowsStarted, c.Rows);
        EXPECT_EQ(QuitRequests, c.QuitRequests);
        EXPECT_EQ(Form->Run.SpyScanner->Stopped, c.Answer == IDYES ? 1 : 0);
        EXPECT_FALSE(Form->Run.Scanning);
        Details.reset();
        Form.reset();
        QuitRequests = 0;
    }
}

TEST_F(MainWindow, ClosingOutsideAScanAsksNothingAndARepairRunsToItsEnd)
{
    WriteDefinitions(1);
    StartProgram();
    SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(QuitRequests, 1);

    // The close box pressed during a repair (the spyware repair lets messages run) is refused without a
    // question.
    QuitRequests = 0;
    ScanNow();
    ASSERT_EQ(Form->Run.ProblemCounts[kSpywareRow], 1);
    PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    Form->TntButton3Click();
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0))) << "the repair ran";
    ProcessMessages();
    EXPECT_EQ(QuitRequests, 0);
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Form->TntButton1.VisibleFlag()) << "the repair finished";
}

TEST_F(MainWindow, MissingDefinitionsShowOneMessageAndLeaveTheWindowInert)
{
    StartProgram();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, L"Database file(Def.dbd) missing, please reinstall program.");
    EXPECT_EQ(Messages[0].Caption, L"Initialization Error");
    EXPECT_TRUE(Messages[0].Flags & MB_ICONERROR);
    EXPECT_EQ(QuitRequests, 1);
    // Nothing after the message: no second error about the same missing file.
    EXPECT_TRUE(Form->LastErrorMessage.empty()) << testing::PrintToString(Form->LastErrorMessage);
    EXPECT_FALSE(Form->Run.SpywareOn || Form->Run.RegistryOn || Form->Run.PrivacyOn || Form->Run.JunkOn);
    EXPECT_FALSE(Form->Timer2.Enabled());
    EXPECT_EQ(Form->Run.SpyScanner, nullptr);
}

TEST_F(MainWindow, DamagedDefinitionsOrNoLanguageShowOneMessageAndLeaveTheWindowInert)
{
    struct Case {
        const char* Name;
        bool Corrupt;
        bool NoLanguage;
        const wchar_t* Caption;   // of the one message box
        const wchar_t* Says[2];   // parts of its text
        int QuitRequests;
        const wchar_t* WindowCaption;
    } cases[] = {
        {"corrupted Def.dbd", true, false, L"Initialization Error",
         {L"Def.dbd) corrupted, please reinstall program.", L"\\Def.dbd: "}, 1, L"Quillmar Brisfold"},
        {"no language file", false, true, L"Initialization Error",
         {L"Language\\English.lng\" is missing", L"[Message]"}, 1, L"Quillmar Brisfold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Messages.clear();
        QuitRequests = 0;
        if (c.Corrupt)
            WriteCorruptDefinitions();
        else
            WriteDefinitions(1);
        if (c.NoLanguage)
            RemoveLanguageFiles();
        StartProgram();
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Caption, c.Caption);
        EXPECT_TRUE(Messages[0].Flags & MB_ICONERROR);
        for (const wchar_t* part : c.Says)
            EXPECT_NE(Messages[0].Text.find(part), std::wstring::npos) << testing::PrintToString(Messages[0].Text);
        EXPECT_EQ(Messages[0].Text.find(L"List index"), std::wstring::npos);
        EXPECT_EQ(QuitRequests, c.QuitRequests);
        // A failed start-up ends the program with status 2.
        EXPECT_EQ(Application().ExitCode, 2);
        EXPECT_EQ(Form->Caption(), c.WindowCaption);
        EXPECT_FALSE(Form->Run.SpywareOn || Form->Run.RegistryOn || Form->Run.PrivacyOn || Form->Run.JunkOn);
        EXPECT_FALSE(Form->Timer2.Enabled());
        // "Start Scan" and "Repair" do nothing.
        Form->TntButton1Click();
        Form->TntButton3Click();
        EXPECT_TRUE(RowsStarted.empty());
        EXPECT_FALSE(Form->TntBitBtn1.VisibleFlag());
        EXPECT_FALSE(Form->TntButton1.VisibleFlag());
        EXPECT_FALSE(Form->TntButton3.VisibleFlag());
        EXPECT_EQ(Messages.size(), 1u) << "told once";
        Details.reset();
        Form.reset();
    }
}

TEST_F(MainWindow, ErrorsInACommandAreShownAndSetTheCaption)
{
    WriteDefinitions(1);
    StartProgram();
    ASSERT_EQ(Form->Caption(), L"Quillmar Brisfold");
    // A language line that is missing ends the command through the application's handler.
    Form->Run.MessageTexts.resize(2);
    Form->Timer2.SetEnabled(false);
    SendMessageW(Form->TntButton1.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Form->Caption(), L"Brisfold");
    EXPECT_FALSE(Form->LastErrorMessage.empty());
    // The user is told, once, with the error's own text.
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, Form->LastErrorMessage);
    EXPECT_TRUE(Messages[0].Flags & MB_ICONERROR);
    // The command ended, not the window: it leaves the scanning state and can be closed.
    EXPECT_FALSE(Form->Run.Scanning);
    EXPECT_FALSE(Form->Timer1.Enabled());
    EXPECT_TRUE(Form->TntButton3.VisibleFlag());
    SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(QuitRequests, 1);
}

} // namespace
