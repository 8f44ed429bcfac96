#include "app/Unit1.h"
#include "ui/WindowClass.h"

#include "app/IgnoredItemsDialog.h"
#include "app/LanguageNeeds.h"
#include "app/OpenDocument.h"
#include "app/SettingsDialog.h"
#include "app/Unit2.h"
#include "common/CodePage.h"
#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "junk/TempFileThread.h"
#include "privacy/PrivacyScanner.h"
#include "registry/RegistryScan.h"
#include "spyware/SpywareScan.h"
#include "ui/Application.h"
#include "ui/Create.h"
#include "ui/Dpi.h"
#include "ui/Pictures.h"

#include <cstdio>

namespace {

const wchar_t kFormClass[] = L"TForm1";
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kNavy = RGB(0, 0, 128);
const COLORREF kGrey = RGB(128, 128, 128);
const int kRowTops[4] = {90, 138, 186, 234};
// "Message" line of a row whose repair left items; "M_Temp" line of a removal library that is missing.
constexpr int kNotRemovedText = 18;
constexpr int kJunkLibraryMissingText = 4;

HCURSOR HandCursor()
{
    return LoadCursorW(nullptr, IDC_HAND);
}

} // namespace

std::wstring ErrorText(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return AnsiToWide(e.what());
    } catch (...) {
        return L"Unknown error";
    }
    return L"";
}

TForm1::TForm1(std::wstring programFolder) : ProgramFolderOverride_(WithBackslash(std::move(programFolder)))
{
    ShowMessage = [](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    };
    QuitApplication = [] { Application().Terminate(); };
    OpenUrl = [](const std::wstring& command) { OpenDocument(command); };
    Application().OnException = [this](std::exception_ptr error) { ApplicationEvents1Exception(error); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    Timer2.OnTimer = [this] { Timer2Timer(); };
}

TForm1::~TForm1()
{
    Application().Guard([this] { FormDestroy(); });
    Application().OnException = nullptr;
    if (Handle_ && IsWindow(Handle_))
        DestroyWindow(Handle_);
}

void TForm1::DpiChanged(int newDpi)
{
    if (newDpi <= 0 || newDpi == Dpi_)
        return;
    RescaleChildren(Handle_, Dpi_, newDpi);
    Dpi_ = newDpi;
}

int TForm1::S(int value) const
{
    return ScaleTo(Handle_, value);
}

std::wstring TForm1::Caption() const { return WindowText(Handle_); }

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = WindowObject<TForm1>(window, message, lParam);
    if (LRESULT result = 0; ReflectToControl(message, wParam, lParam, result))
        return result;
    if (self) {
        switch (message) {
        case WM_CLOSE: return self->OnCloseBox();
        case WM_ERASEBKGND: return self->OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_DPICHANGED: return self->OnDpiChanged(LOWORD(wParam), lParam);
        case WM_SYSCOMMAND:
            if (self->OnSysCommand(static_cast<UINT>(wParam & 0xFFF0)))
                return 0;
            break;
        case WM_INITMENUPOPUP:
            self->OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
            break;
        default: break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool TForm1::OnSysCommand(UINT command)
{
    if (command == kSettingsCommand)
        Application().Guard([this] { SettingsClick(); });
    else if (command == kIgnoredItemsCommand)
        Application().Guard([this] { IgnoredItemsClick(); });
    else
        return false;
    return true;
}

void TForm1::OnInitMenuPopup(HMENU menu, bool windowMenu)
{
    // A dialog opened during a scan or a repair would hold it up in the dialog's own loop: the options
    // wait until it has ended.
    if (!windowMenu)
        return;
    for (UINT command : {kSettingsCommand, kIgnoredItemsCommand})
        EnableMenuItem(menu, command, MF_BYCOMMAND | (Scanning ? MF_GRAYED : MF_ENABLED));
}

void TForm1::AddSystemMenuItems()
{
    HMENU menu = GetSystemMenu(Handle_, FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kSettingsCommand, TextAt(OptionTexts, OptionText::SettingsMenu).c_str());
    AppendMenuW(menu, MF_STRING, kIgnoredItemsCommand, TextAt(OptionTexts, OptionText::IgnoredItemsMenu).c_str());
}

LRESULT TForm1::OnCloseBox()
{
    Application().Guard([this] { Close(); });
    return 0;
}

LRESULT TForm1::OnEraseBackground(HDC dc)
{
    RECT r;
    GetClientRect(Handle_, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
}

LRESULT TForm1::OnDpiChanged(int newDpi, LPARAM suggested)
{
    DpiChanged(newDpi);
    MoveToSuggestedRect(Handle_, suggested);
    return 0;
}

void TForm1::Create(bool visible)
{
    InitControls();
    RegisterWindowClass({.Name = kFormClass, .Proc = WindowProc, .AppIcon = true, .ReflectsControls = true});
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    Handle_ = CreateWindowExW(0, kFormClass, L"Quillmar Brisfold", style, CW_USEDEFAULT, CW_USEDEFAULT, 400, 366,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    Dpi_ = DpiOf(Handle_);
    SizeAndCentre(Handle_, 400, 366);
    CreateComponents();
    Application().Guard([this] { FormCreate(); });
    if (visible) {
        ShowWindow(Handle_, SW_SHOW);
        UpdateWindow(Handle_);
    }
}

void TForm1::CreateComponents()
{
    HWND p = Handle_;
    HINSTANCE module = GetModuleHandleW(nullptr);
    HCURSOR hand = HandCursor();

    TntImage2.Create({.Parent = p, .Width = 425, .Height = 73});
    TntImage2.LoadFromResource(module, kPicBanner);
    // What lies on the banner is its child, so that it is drawn over the picture.
    HWND banner = TntImage2.Handle();
    TntImage1.Create({.Parent = banner, .Left = 4, .Top = 4, .Width = 64, .Height = 64});
    TntImage1.LoadFromResource(module, kPicLogo);
    TntImage1.SetBackdrop(&TntImage2);
    TntLabel1.Create({.Parent = banner, .Left = 76, .Top = 24, .Width = 260, .Height = 26, .Caption = L"Quillmar Brisfold",
                      .FontName = L"Arial", .FontHeight = 20, .FontStyle = fsBold | fsItalic});
    TntLabel1.SetTransparent(true);
    lbl1.Create({.Parent = banner, .Left = 352, .Top = 8, .Width = 40, .Height = 16, .Caption = L"Home",
                 .FontStyle = fsBold | fsUnderline, .Color = kBlue, .Cursor = hand});
    lbl1.SetTransparent(true);
    lbl2.Create({.Parent = p, .Left = 8, .Top = 328, .Width = 48, .Height = 16, .Caption = L"Update",
                 .FontStyle = fsBold | fsUnderline, .Color = kBlue, .Cursor = hand});
    lbl1.OnClick = [this] { lbl1Click(); };
    lbl2.OnClick = [this] { lbl2Click(); };

    TLabel* titles[4] = {&TntLabel17, &TntLabel25, &TntLabel27, &TntLabel29};
    TLabel* descriptions[4] = {&TntLabel18, &TntLabel26, &TntLabel28, &TntLabel30};
    TPicture* icons[4] = {&img1, &img2, &img3, &img4};
    const wchar_t* titleTexts[4] = {L"Spyware Removal", L"Registry Fix", L"Privacy Sweep", L"Junk Files Clean"};
    const wchar_t* descriptionTexts[4] = {L"Scan and  remove Spyware, Adware .",
                                          L"Cleanup registry to improve PC performance.",
                                          L"Erase your activity history and surfing traces.",
                                          L"Clean up junk files and recover disk space."};
    const wchar_t* iconNames[4] = {kPicRowSpyware, kPicRowRegistry, kPicRowPrivacy, kPicRowJunk};
    TLabel* results[4] = {&LP1, &LP2, &LP3, &LP4};
    for (int row = 0; row < 4; ++row) {
        int top = kRowTops[row];
        titles[row]->Create({.Parent = p, .Left = 80, .Top = top, .Width = 180, .Height = 18,
                             .Caption = titleTexts[row], .FontName = L"Arial", .FontHeight = 14,
                             .FontStyle = fsBold, .Color = kNavy});
        descriptions[row]->Create({.Parent = p, .Left = 80, .Top = top + 20, .Width = 310, .Height = 16,
                                   .Caption = descriptionTexts[row], .FontName = L"Arial", .FontHeight = 12,
                                   .Color = kGrey});
        icons[row]->Create({.Parent = p, .Left = 64, .Top = top, .Width = 17, .Height = 17});
        icons[row]->LoadFromResource(module, iconNames[row]);
        results[row]->Create({.Parent = p, .Left = 264, .Top = top, .Width = 136, .Height = 16, .FontName = L"Arial",
                              .FontHeight = 12, .FontStyle = fsBold, .Color = kRed, .Visible = false});
    }
    LP1.OnClick = [this] { LP1Click(); };
    LP2.OnClick = [this] { LP2Click(); };
    LP3.OnClick = [this] { LP3Click(); };
    LP4.OnClick = [this] { LP4Click(); };
    LP1.OnMouseMove = [this] { LP1MouseMove(); };
    LP2.OnMouseMove = [this] { LP2MouseMove(); };
    LP3.OnMouseMove = [this] { LP3MouseMove(); };
    LP4.OnMouseMove = [this] { LP4MouseMove(); };
    LP1.OnMouseLeave = [this] { LP1MouseLeave(); };
    LP2.OnMouseLeave = [this] { LP2MouseLeave(); };
    LP3.OnMouseLeave = [this] { LP3MouseLeave(); };
    LP4.OnMouseLeave = [this] { LP4MouseLeave(); };

    IM_Flag.Create({.Parent = p, .Left = 40, .Top = kRowTops[0], .Width = 16, .Height = 16, .Visible = false});
    IM_Flag.LoadFromResource(module, kPicFlag);
    TntLabel43.Create({.Parent = p, .Left = 264, .Top = kRowTops[0], .Width = 130, .Height = 16,
                       .Caption = L"Scanning...", .FontStyle = fsBold, .Color = kBlue, .Visible = false});
    TotalP_A.Create({.Parent = p, .Left = 64, .Top = 283, .Width = 289, .Height = 17, .Visible = false});
    TotalP_A.SetStep(2);
    LEntry.Create({.Parent = p, .Left = 64, .Top = 302, .Width = 289, .Height = 16, .Caption = L"Scanner:",
                   .Style = SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, .Visible = false});
    ani1.Create({.Parent = p, .Left = 40, .Top = 283, .Width = 16, .Height = 16, .Visible = false});
    ani1.OpenResource(module, kScanAnimationId);

    TntButton1.Create({.Parent = p, .Left = 264, .Top = 327, .Width = 75, .Height = 25, .Caption = L"Start Scan",
                       .Visible = false, .Cursor = hand, .Hint = L"Click to scan your computer."});
    TntButton3.Create({.Parent = p, .Left = 88, .Top = 327, .Width = 75, .Height = 25, .Caption = L"Repair",
                       .Visible = false, .Cursor = hand, .Hint = L"Click to fix problems."});
    TntBitBtn1.Create({.Parent = p, .Left = 160, .Top = 327, .Width = 75, .Height = 25, .Caption = L"Stop Scan",
                       .Visible = false, .Cursor = hand, .Hint = L"Stop current scanner."});
    TntButton1.OnClick = [this] { TntButton1Click(); };
    TntButton3.OnClick = [this] { TntButton3Click(); };
    TntBitBtn1.OnClick = [this] { TntBitBtn1Click(); };
}

std::wstring TForm1::Text(int index) const
{
    return TextAt(MessageTexts, index);
}

TLabel& TForm1::ResultLine(int row)
{
    TLabel* lines[4] = {&LP1, &LP2, &LP3, &LP4};
    return *lines[row];
}

TLabel& TForm1::RowTitle(int row)
{
    TLabel* titles[4] = {&TntLabel17, &TntLabel25, &TntLabel27, &TntLabel29};
    return *titles[row];
}

void TForm1::MoveFlagTo(int row, bool withScanningLabel)
{
    int top = RowTitle(row).Top();
    IM_Flag.MoveTo(IM_Flag.Left(), top);
    if (withScanningLabel) {
        TntLabel43.MoveTo(TntLabel43.Left(), top);
        if (OnRowStart)
            OnRowStart(row);
    }
}

// Start-up

void TForm1::FormCreate()
{
    std::wstring exeFolder = ProgramFolderOverride_.empty() ? TAppFrame().ExeFolder : ProgramFolderOverride_;
    // A missing or unreadable Scan.avi keeps the built-in clip rather than ending the start-up.
    if (WindowsVersionName() == L"Windows Vista" && !ani1.OpenFile(exeFolder + L"Scan.avi"))
        ani1.OpenResource(GetModuleHandleW(nullptr), kScanAnimationId);
    TntLabel1.SetFontColor(RGB(99, 156, 211));
    InitializeProgram();
    // A start-up that failed has told the user why; no scan follows it.
    if (SpywareOn || RegistryOn || PrivacyOn || JunkOn) {
        AddSystemMenuItems();
        Timer2.SetEnabled(true);
    }
}

void TForm1::InitializeProgram()
{
    FolderInfo = std::make_unique<TAppFrame>();
    ProgramFolder = ProgramFolderOverride_.empty() ? FolderInfo->ExeFolder : ProgramFolderOverride_;
    RegRepairLog.clear();
    SettingsFolder = SettingsFolderPath();
    const std::wstring archive = ProgramFolder + L"Def.dbd";
    // Each start-up failure is told once and ends the start-up: going on would only raise a second,
    // less helpful error about the same cause.
    if (GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES)
        return StartupFailed(L"Database file(Def.dbd) missing, please reinstall program.");
    LangTexts = std::make_unique<TMultiLan>(SettingsFolder + L"Main.ini", ProgramFolder, LanguageNeeds());
    // Checked before any scan: a missing line would otherwise end a scan halfway with an index error.
    if (const auto shortage = LangTexts->FirstShortage())
        return StartupFailed(ShortageMessage(*shortage));
    MessageTexts = LangTexts->GetSection(L"Message");
    OptionTexts = LangTexts->GetSection(kOptionSection);
    SettingsIni = std::make_unique<TIniFile>(SettingsFolder + L"Main.ini");
    ProblemCounts.fill(0);
    if (!MyZip.OpenArchive(archive))
        return StartupFailed(L"Database file(Def.dbd) corrupted, please reinstall program.");

    const TWideStrings spywareTexts = LangTexts->GetSection(L"M_SpywareScan");
    SpyScanner = std::make_unique<TSpyScan>(archive, spywareTexts);
    SpyScanner->ScanPrefix = TextAt(spywareTexts, 0);
    SpyScanner->RepairPrefix = TextAt(spywareTexts, 15);
    SpyScanner->RegistryImage = 0;
    SpyScanner->FileImage = 1;
    SpyScanner->FolderImage = 2;
    SpyScanner->CookieImage = 3;

    RegScanner = std::make_unique<TScanRegistry>(LangTexts->GetSection(L"M_RegistryScan"));
    RegScanner->FirstImageIndex = 4;
    RegScanner->SecondImageIndex = 5;
    RegScanner->ScanPrefix = Text(15) + L" ";
    RegScanner->RepairPrefix = Text(16);

    PrivScanner = std::make_unique<TPrivacyScanner>(LangTexts->GetSection(L"M_PrivacyScan"));
    PrivScanner->ScanPrefix = Text(15) + L" ";
    PrivScanner->RepairPrefix = Text(17);

    Scanning = false;
    SpywareOn = RegistryOn = PrivacyOn = JunkOn = true;
}

void TForm1::StartupFailed(const std::wstring& text)
{
    ShowMessage(Handle_, text, L"Initialization Error", MB_OK | MB_ICONERROR);
    QuitApplication();
}

// Timers

void TForm1::Timer1Timer()
{
    IM_Flag.SetVisible(!IM_Flag.VisibleFlag());
}

void TForm1::Timer2Timer()
{
    Timer2.SetEnabled(false);
    TntButton1Click();
}

// Commands

namespace {

// An error ends a command, but the window must not stay in its scanning state: the close box would be
// refused for good. So the command's last steps run before the error goes on to the handler.
template <typename Rows, typename Finish>
void RunCommand(Rows rows, Finish finish)
{
    try {
        rows();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

} // namespace

void TForm1::TntButton1Click()
{
    if (!(SpywareOn || RegistryOn || PrivacyOn || JunkOn))
        return;
    TntButton1.Hide();
    TntBitBtn1.MoveTo(TntButton1.Left(), TntBitBtn1.Top());
    TntBitBtn1.Show();
    ani1.Show();
    ani1.Play(0, 8);

    Scanning = true;
    Timer1.SetEnabled(true);
    IM_Flag.Show();
    LEntry.Show();
    TotalP_A.Show();
    TntLabel43.Show();
    for (int row = 0; row < 4; ++row)
        ResultLine(row).Hide();
    // A scan that fails part-way must not leave the previous scan's results for "Repair" to act on.
    ProblemCounts.fill(0);
    JunkThread.reset();
    SpyScanner->Stopped = 0;
    RegScanner->Stopped = 0;
    PrivScanner->Stopped = 0;
    RunCommand([this] { ScanRows(); }, [this] { FinishScan(); });
}

void TForm1::ScanRows()
{
    if (SpywareOn && Scanning) {
        MoveFlagTo(0, true);
        ProblemCounts[0] = SpyScanner->Scan(LEntry, TotalP_A, Details->SpyListView);
        if (Scanning)
            ShowResult(ProblemCounts[0], LP1, 0);
    }
    if (RegistryOn && Scanning) {
        MoveFlagTo(1, true);
        ProblemCounts[1] = RegScanner->Scan(LEntry, TotalP_A, Details->RegListView);
        if (Scanning)
            ShowResult(ProblemCounts[1], LP2, 0);
    }
    if (PrivacyOn && Scanning) {
        MoveFlagTo(2, true);
        const std::wstring selection = Details->GetSelection();
        ProblemCounts[2] = PrivScanner->Scan(LEntry, TotalP_A, selection, Details->PrivacyList);
        if (Scanning)
            ShowResult(ProblemCounts[2], LP3, 0);
    }
    if (JunkOn && Scanning) {
        MoveFlagTo(3, true);
        JunkThread = std::make_unique<TempThread>(LEntry, TotalP_A, Details->TempMemo,
                                                  LangTexts->GetSection(L"M_Temp"));
        JunkThread->ScanPrefix = Text(15);
        JunkThread->Start();
        // Sleeps while no message waits instead of spinning; the worker's calls wake it.
        JunkThread->WaitUntilFinished();
        ProblemCounts[3] = JunkThread->TotalBytes;
        if (Scanning) {
            LP4.Show();
            if (ProblemCounts[3] == 0) {
                LP4.SetCaption(Text(0));
                LP4.SetFontColor(kGreen);
            } else {
                LP4.SetFontColor(kRed);
                LP4.SetCaption(FormatText(Text(3), std::vector<TFormatArg>{JunkThread->SizeText}));
            }
        }
    }
}

void TForm1::FinishScan()
{
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    Scanning = false;
    TotalP_A.Hide();
    TntBitBtn1.Hide();
    TntButton3.MoveTo(TntButton1.Left(), TntButton3.Top());
    TntButton3.Show();
    ani1.Hide();
    ani1.Stop();
}

void TForm1::ShowResult(int64_t count, TLabel& line, int mode)
{
    line.Show();
    if (mode == 99) {
        line.SetFontColor(kGreen);
        line.SetFontStyle(fsBold);
        line.SetCaption(Text(4));
    } else if (count == 0) {
        line.SetCaption(Text(0));
        line.SetFontColor(kGreen);
        line.SetFontStyle(fsBold);
    } else {
        line.SetFontColor(kRed);
        if (count == 1)
            line.SetCaption(FormatText(Text(1), std::vector<TFormatArg>{count}));
        else if (count > 1)
            line.SetCaption(FormatText(Text(2), std::vector<TFormatArg>{count}));
    }
}

void TForm1::TntBitBtn1Click()
{
    Scanning = false;
    for (int row = 0; row < 4; ++row)
        ResultLine(row).Hide();
    if (SpyScanner)
        SpyScanner->Stopped = 1;
    if (RegScanner)
        RegScanner->Stopped = 1;
    if (PrivScanner)
        PrivScanner->Stopped = 1;
    if (IM_Flag.Top() == RowTitle(3).Top() && JunkThread)
        JunkThread->Stopped = 1;
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    TotalP_A.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    Close();
}

void TForm1::TntButton3Click()
{
    if (!(SpywareOn || RegistryOn || PrivacyOn || JunkOn))
        return;
    TntButton3.Hide();
    Scanning = true;
    Timer1.SetEnabled(true);
    IM_Flag.Show();
    TotalP_A.Show();
    LEntry.Show();
    RunCommand([this] { RepairRows(); }, [this] { FinishRepair(); });
}

void TForm1::RepairRows()
{
    if (SpywareOn && ProblemCounts[0] > 0) {
        MoveFlagTo(0, false);
        SpyScanner->Repair(LEntry, TotalP_A, Details->SpyListView);
        ProblemCounts[0] = 0;
        ShowRepaired(LP1, SpyScanner->LastRepair);
    }
    if (RegistryOn && ProblemCounts[1] > 0) {
        MoveFlagTo(1, false);
        RegScanner->Repair(Details->RegListView, LEntry, TotalP_A, RegRepairLog);
        ProblemCounts[1] = 0;
        ShowRepaired(LP2, RegScanner->LastRepair);
    }
    if (PrivacyOn && ProblemCounts[2] > 0) {
        MoveFlagTo(2, false);
        PrivScanner->Repair(LEntry, TotalP_A);
        ProblemCounts[2] = 0;
        ShowRepaired(LP3, PrivScanner->LastRepair);
    }
    if (JunkOn && ProblemCounts[3] > 0 && JunkThread) {
        MoveFlagTo(3, false);
        if (JunkThread->Repair(LEntry)) {
            ProblemCounts[3] = 0;
            ShowResult(0, LP4, 99);
        } else {
            // Nothing was removed: the row keeps its findings and the user is told why.
            ShowMessage(Handle_, TextAt(JunkThread->Texts, kJunkLibraryMissingText), L"Quillmar Brisfold",
                        MB_OK | MB_ICONERROR);
        }
    }
}

void TForm1::ShowRepaired(TLabel& line, const TRepairReport& report)
{
    if (report.AllDone()) {
        ShowResult(0, line, 99);
        return;
    }
    // Some listed items are still there: a repair that left them is not shown as done.
    line.Show();
    line.SetFontColor(kRed);
    line.SetFontStyle(fsBold);
    line.SetCaption(FormatText(Text(kNotRemovedText), {int64_t(report.Left().size())}));
}

void TForm1::FinishRepair()
{
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    Scanning = false;
    TntButton3.Hide();
    TntButton1.Show();
}

// Result lines

void TForm1::RowClick(int row)
{
    if (Scanning || ProblemCounts[static_cast<size_t>(row)] <= 0 || !Details)
        return;
    Details->TntPageControl1.SetActivePageIndex(row);
    Details->ShowModal();
}

void TForm1::RowMouseMove(int row)
{
    if (Scanning)
        return;
    TLabel& line = ResultLine(row);
    if (ProblemCounts[static_cast<size_t>(row)] <= 0) {
        line.SetCursor(nullptr);
        line.SetFontStyle(fsBold);
    } else {
        line.SetFontStyle(fsBold | fsUnderline);
        line.SetCursor(HandCursor());
    }
}

void TForm1::RowMouseLeave(int row)
{
    TLabel& line = ResultLine(row);
    line.SetCursor(nullptr);
    line.SetFontStyle(fsBold);
}

// Closing and errors

bool TForm1::FormCloseQuery()
{
    return !Scanning;
}

void TForm1::Close()
{
    if (!FormCloseQuery())
        return;
    // The window stays until the program ends: a scan that is still returning uses its controls.
    ShowWindow(Handle_, SW_HIDE);
    QuitApplication();
}

void TForm1::FormDestroy()
{
    Timer1.SetEnabled(false);
    Timer2.SetEnabled(false);
    SpyScanner.reset();
    RegScanner.reset();
    PrivScanner.reset();
    JunkThread.reset(); // waits for the thread
}

void TForm1::ApplicationEvents1Exception(std::exception_ptr error)
{
    LastErrorMessage = ErrorText(error);
    if (Handle_)
        SetWindowTextW(Handle_, L"Brisfold");
    // The box runs a message loop of its own: an error that a timer raises meanwhile is kept, not stacked.
    if (ShowingError_)
        return;
    ShowingError_ = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{ShowingError_};
    ShowMessage(Handle_, LastErrorMessage, L"Quillmar Brisfold", MB_OK | MB_ICONERROR);
}

// Options

TOptionsContext TForm1::Options() const
{
    return {OptionTexts, ProgramFolder, LangTexts ? LangTexts->LanguageName : L"English", ShowMessage};
}

void TForm1::SettingsClick()
{
    if (Scanning)
        return;
    ShowSettingsDialog(Handle_, Options());
}

void TForm1::IgnoredItemsClick()
{
    if (Scanning)
        return;
    ShowIgnoredItemsDialog(Handle_, Options());
}

void TForm1::FindingsChanged(int row, int count)
{
    ProblemCounts[static_cast<size_t>(row)] = count;
    ShowResult(count, ResultLine(row), 0);
}

void TForm1::lbl1Click()
{
    OpenUrl(kHomePage);
}

void TForm1::lbl2Click()
{
    OpenUrl(kProductPage);
}
