#include "app/Unit1.h"
#include "ui/WindowClass.h"

#include "app/MessageTexts.h"
#include "app/OpenDocument.h"
#include "app/OptionMenu.h"
#include "app/Unit2.h"
#include "app/WindowTexts.h"
#include "registry/UndoFile.h"
#include "common/Exception.h"
#include "common/Kelvor_Routine.h"
#include "ui/Application.h"
#include "ui/Create.h"
#include "ui/Dpi.h"
#include "ui/Pictures.h"


namespace {

const wchar_t kFormClass[] = L"TForm1";
const COLORREF kBlue = RGB(0, 0, 255);

HCURSOR HandCursor()
{
    return LoadCursorW(nullptr, IDC_HAND);
}

// An error ends a command, but the window must not stay in its scanning state: its last steps run
// before the error goes on to the handler.
template <typename Command, typename Finish>
void RunCommand(Command command, Finish finish)
{
    try {
        command();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

} // namespace

TForm1::TForm1(std::wstring programFolder)
    : Run(std::move(programFolder)),
      Rows_{{{&TntLabel17, &TntLabel18, &img1, &LP1},
             {&TntLabel25, &TntLabel26, &img2, &LP2},
             {&TntLabel27, &TntLabel28, &img3, &LP3},
             {&TntLabel29, &TntLabel30, &img4, &LP4}}}
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
    if (Application().KeyboardWindow == Handle_)
        Application().KeyboardWindow = nullptr;
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
    if (command != kSettingsCommand && command != kIgnoredItemsCommand)
        return false;
    // The settings read by a running scan stay as they are until it ends.
    Application().Guard([this, command] {
        if (!Run.Scanning)
            RunOptionCommand(Handle_, command, Options());
    });
    return true;
}

void TForm1::OnInitMenuPopup(HMENU menu, bool windowMenu)
{
    // A dialog opened during a scan or a repair would hold it up in the dialog's own loop: the options
    // wait until it has ended.
    if (!windowMenu)
        return;
    for (UINT command : {kSettingsCommand, kIgnoredItemsCommand})
        EnableMenuItem(menu, command, MF_BYCOMMAND | (Run.Scanning ? MF_GRAYED : MF_ENABLED));
}

void TForm1::AddSystemMenuItems()
{
    AddOptionCommands(GetSystemMenu(Handle_, FALSE), Options());
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
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    Handle_ = CreateWindowExW(0, kFormClass, L"Quillmar Brisfold", style, CW_USEDEFAULT, CW_USEDEFAULT, 400, 366,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    Dpi_ = DpiOf(Handle_);
    SizeAndCentre(Handle_, 400, 366);
    // Tab and Shift+Tab walk the result lines and the buttons as in a dialog.
    Application().KeyboardWindow = Handle_;
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
    lbl1.Create({.Parent = banner, .Left = 352, .Top = 8, .Width = 40, .Height = 16,
                 .FontStyle = fsBold | fsUnderline, .Color = kBlue, .Cursor = hand});
    lbl1.SetTransparent(true);
    lbl2.Create({.Parent = p, .Left = 8, .Top = 328, .Width = 48, .Height = 16,
                 .FontStyle = fsBold | fsUnderline, .Color = kBlue, .Cursor = hand});
    lbl1.OnClick = [this] { lbl1Click(); };
    lbl2.OnClick = [this] { lbl2Click(); };

    for (int row = 0; row < kRowCount; ++row) {
        const TResultRow& data = kResultRows[static_cast<size_t>(row)];
        const TRowControls& controls = Rows_[static_cast<size_t>(row)];
        controls.Title->Create({.Parent = p, .Left = 80, .Top = data.Top, .Width = 180, .Height = 18,
                                .FontName = L"Arial", .FontHeight = 14, .FontStyle = fsBold,
                                .Color = kTitleColor});
        controls.Description->Create({.Parent = p, .Left = 80, .Top = data.Top + 20, .Width = 310, .Height = 16,
                                      .FontName = L"Arial", .FontHeight = 12,
                                      .Color = kDescriptionColor});
        controls.Icon->Create({.Parent = p, .Left = 64, .Top = data.Top, .Width = 17, .Height = 17});
        controls.Icon->LoadFromResource(module, data.Icon);
        // The result line is where the keyboard reaches the row: Enter or Space opens its details.
        controls.Result->Create({.Parent = p, .Left = 264, .Top = data.Top, .Width = 136, .Height = 16,
                                 .Style = WS_TABSTOP, .FontName = L"Arial", .FontHeight = 12, .FontStyle = fsBold,
                                 .Color = kFoundColor, .Visible = false});
        // The title opens the details as its result line does.
        controls.Title->OnClick = [this, row] { RowClick(row); };
        controls.Title->OnMouseMove = [this, row] { RowMouseMove(row); };
        controls.Title->OnMouseLeave = [this, row] { RowMouseLeave(row); };
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

    IM_Flag.Create({.Parent = p, .Left = 40, .Top = kResultRows[kSpywareRow].Top, .Width = 16, .Height = 16, .Visible = false});
    IM_Flag.LoadFromResource(module, kPicFlag);
    TntLabel43.Create({.Parent = p, .Left = 264, .Top = kResultRows[kSpywareRow].Top, .Width = 130, .Height = 16,
                       .FontStyle = fsBold, .Color = kBlue, .Visible = false});
    TotalP_A.Create({.Parent = p, .Left = 64, .Top = 283, .Width = 289, .Height = 17, .Visible = false});
    TotalP_A.SetStep(2);
    LEntry.Create({.Parent = p, .Left = 64, .Top = 302, .Width = 289, .Height = 16,
                   .Style = SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, .Visible = false});
    ani1.Create({.Parent = p, .Left = 40, .Top = 283, .Width = 16, .Height = 16, .Visible = false});
    ani1.OpenResource(module, kScanAnimationId);

    TntButton1.Create({.Parent = p, .Left = 264, .Top = 327, .Width = 75, .Height = 25,
                       .Visible = false, .Cursor = hand});
    TntButton3.Create({.Parent = p, .Left = 88, .Top = 327, .Width = 75, .Height = 25,
                       .Visible = false, .Cursor = hand});
    TntBitBtn1.Create({.Parent = p, .Left = 160, .Top = 327, .Width = 75, .Height = 25,
                       .Visible = false, .Cursor = hand});
    TntButton1.OnClick = [this] { TntButton1Click(); };
    TntButton3.OnClick = [this] { TntButton3Click(); };
    TntBitBtn1.OnClick = [this] { TntBitBtn1Click(); };
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
    const std::wstring exeFolder = Run.ExpectedProgramFolder();
    // A missing or unreadable Scan.avi keeps the built-in clip rather than ending the start-up.
    if (WindowsVersionName() == L"Windows Vista" && !ani1.OpenFile(exeFolder + L"Scan.avi"))
        ani1.OpenResource(GetModuleHandleW(nullptr), kScanAnimationId);
    TntLabel1.SetFontColor(RGB(99, 156, 211));
    InitializeProgram();
    // A start-up that failed has told the user why; no scan follows it.
    if (Run.Started()) {
        ShowTexts();
        AddSystemMenuItems();
        Timer2.SetEnabled(true);
    }
}

void TForm1::ShowTexts()
{
    const TWideStrings texts = Run.LangTexts->GetSection(kMainWindowSection);
    lbl1.SetCaption(TextAt(texts, MainText::Home));
    lbl2.SetCaption(TextAt(texts, MainText::Update));
    // The links grow with a longer caption: "Home" towards the window's middle, "Update" to the right.
    lbl1.FitCaption(true);
    lbl2.FitCaption(false);
    for (int row = 0; row < kRowCount; ++row) {
        RowTitle(row).SetCaption(TextAt(Run.MessageTexts, MessageText::FirstRowTitle + row));
        Rows_[static_cast<size_t>(row)].Description->SetCaption(TextAt(texts, MainText::FirstDescription + row));
    }
    TntLabel43.SetCaption(TextAt(texts, MainText::Scanning));
    LEntry.SetCaption(TextAt(texts, MainText::Scanner));
    const struct {
        TButton& Button;
        int Caption, Hint;
    } buttons[] = {{TntButton1, MainText::StartScan, MainText::StartScanHint},
                   {TntButton3, MainText::Repair, MainText::RepairHint},
                   {TntBitBtn1, MainText::StopScan, MainText::StopScanHint}};
    for (const auto& b : buttons) {
        b.Button.SetCaption(TextAt(texts, b.Caption));
        b.Button.SetHint(TextAt(texts, b.Hint));
        // The buttons take one another's place: they grow to the right, inside the window.
        b.Button.FitCaption(false, 8);
    }
}

void TForm1::InitializeProgram()
{
    std::optional<std::wstring> failure;
    try {
        failure = Run.Start();
    } catch (...) {
        failure = ErrorText(std::current_exception());
    }
    if (failure)
        StartupFailed(*failure);
}

void TForm1::StartupFailed(const std::wstring& text)
{
    ShowMessage(Handle_, text, L"Initialization Error", MB_OK | MB_ICONERROR);
    // The program ends as the console does after a failed start-up.
    Application().ExitCode = 2;
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

TScanControls TForm1::Controls()
{
    return {LEntry,
            TotalP_A,
            Details->SpyListView,
            Details->RegListView,
            Details->PrivacyList,
            Details->TempMemo,
            [this] { return Details->GetSelection(); }};
}

void TForm1::ShowLine(TLabel& line, const TResultLine& result)
{
    line.Show();
    line.SetFontColor(result.Clean ? kCleanColor : kFoundColor);
    if (result.Bold)
        line.SetFontStyle(fsBold);
    line.SetCaption(result.Text);
}

void TForm1::TntButton1Click()
{
    if (!Run.Started())
        return;
    TntButton1.Hide();
    TntBitBtn1.MoveTo(TntButton1.Left(), TntBitBtn1.Top());
    TntBitBtn1.Show();
    KeepKeyboardFocus(TntBitBtn1);
    ani1.Show();
    ani1.Play(0, 8);

    Timer1.SetEnabled(true);
    IM_Flag.Show();
    LEntry.Show();
    TotalP_A.Show();
    TntLabel43.Show();
    for (int row = 0; row < kRowCount; ++row)
        ResultLine(row).Hide();
    const TRowCalls calls{[this](int row) { MoveFlagTo(row, true); },
                          [this](int row) { ShowLine(ResultLine(row), Run.Lines[static_cast<size_t>(row)]); }};
    RunCommand([&] { Run.Scan(Controls(), calls); }, [this] { FinishScan(); });
}

void TForm1::FinishScan()
{
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    TotalP_A.Hide();
    TntBitBtn1.Hide();
    TntButton3.MoveTo(TntButton1.Left(), TntButton3.Top());
    TntButton3.Show();
    ani1.Hide();
    ani1.Stop();
    KeepKeyboardFocus(TntButton3);
}

void TForm1::ShowResult(int64_t count, TLabel& line, int mode)
{
    ShowLine(line, mode == 99 ? Run.RepairedLine() : Run.FoundLine(count));
}

void TForm1::TntBitBtn1Click()
{
    Run.Stop(IM_Flag.Top() == RowTitle(kJunkRow).Top());
    for (int row = 0; row < kRowCount; ++row)
        ResultLine(row).Hide();
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    TotalP_A.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    Close();
}

void TForm1::TntButton3Click()
{
    if (!Run.Started())
        return;
    TntButton3.Hide();
    Repairing_ = true;
    Timer1.SetEnabled(true);
    IM_Flag.Show();
    TotalP_A.Show();
    LEntry.Show();
    const TRowCalls calls{
        [this](int row) { MoveFlagTo(row, false); },
        [this](int row) { ShowLine(ResultLine(row), Run.Lines[static_cast<size_t>(row)]); },
        [this](const std::wstring& text) { ShowMessage(Handle_, text, L"Quillmar Brisfold", MB_OK | MB_ICONERROR); }};
    RunCommand([&] { Run.Repair(Controls(), calls); }, [this] { FinishRepair(); });
}

void TForm1::FinishRepair()
{
    Repairing_ = false;
    Timer1.SetEnabled(false);
    IM_Flag.Hide();
    LEntry.Hide();
    TntLabel43.Hide();
    TntButton3.Hide();
    TntButton1.Show();
    KeepKeyboardFocus(TntButton1);
}

void TForm1::KeepKeyboardFocus(TButton& shown)
{
    // A control that was hidden gave the focus to the window (or kept it, taking every key with it):
    // the button that took its place gets it.
    const HWND focus = GetFocus();
    if (focus && (focus == Handle_ || (IsChild(Handle_, focus) && !IsWindowVisible(focus))))
        SetFocus(shown.Handle());
}

// Result lines

void TForm1::RowClick(int row)
{
    if (Run.Scanning)
        return;
    // The keyboard comes back to the line it left, not to the bare window.
    const HWND focus = GetFocus();
    if (Run.Lines[static_cast<size_t>(row)].OpensLeft) {
        ShowLeftItemsDialog(Handle_, Run.LeftItems(row));
    } else {
        if (Run.ProblemCounts[static_cast<size_t>(row)] <= 0 || !Details)
            return;
        Details->TntPageControl1.SetActivePageIndex(kResultRows[static_cast<size_t>(row)].DetailsPage);
        Details->ShowModal();
    }
    if (focus && IsChild(Handle_, focus) && IsWindowVisible(focus) && GetActiveWindow() == Handle_)
        SetFocus(focus);
}

void TForm1::RowMouseMove(int row)
{
    if (Run.Scanning)
        return;
    TLabel& line = ResultLine(row);
    const bool opens = Run.ProblemCounts[static_cast<size_t>(row)] > 0 || Run.Lines[static_cast<size_t>(row)].OpensLeft;
    line.SetFontStyle(opens ? fsBold | fsUnderline : fsBold);
    for (TLabel* label : {&line, &RowTitle(row)})
        label->SetCursor(opens ? HandCursor() : nullptr);
}

void TForm1::RowMouseLeave(int row)
{
    TLabel& line = ResultLine(row);
    for (TLabel* label : {&line, &RowTitle(row)})
        label->SetCursor(nullptr);
    line.SetFontStyle(fsBold);
}

// Closing and errors

bool TForm1::FormCloseQuery()
{
    if (!Run.Scanning)
        return true;
    // A repair half done is worse than one finished: it runs to its end.
    if (Repairing_)
        return false;
    if (ShowMessage(Handle_, Run.Text(MessageText::StopAndClose), L"Quillmar Brisfold",
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    // The box ran its own loop: the scan may have ended meanwhile.
    if (Run.Scanning)
        Run.Stop(IM_Flag.Top() == RowTitle(kJunkRow).Top());
    return true;
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
    Run.Release(); // waits for the junk-file thread
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
    return {Run.OptionTexts, Run.ProgramFolder, Run.LangTexts ? Run.LangTexts->LanguageName : L"English",
            ShowMessage, Run.PolicyRoots};
}

void TForm1::FindingsChanged(int row, int count)
{
    Run.FindingsChanged(row, count);
    ShowLine(ResultLine(row), Run.Lines[static_cast<size_t>(row)]);
}

TDetailsHost TForm1::DetailsHost()
{
    return {Handle_,
            [this] { return Options(); },
            [this] { return static_cast<const TSettings*>(Run.Settings.get()); },
            [this](int row, int count) { FindingsChanged(row, count); },
            [this] { Details = nullptr; },
            [this] {
                return TUndoPlaces{Run.Quarantine, Run.FolderInfo ? UndoFolder(Run.FolderInfo->AppDataFolder) : L""};
            },
            [this] { return static_cast<const TMultiLan*>(Run.LangTexts.get()); }};
}

void TForm1::lbl1Click()
{
    OpenUrl(kHomePage);
}

void TForm1::lbl2Click()
{
    OpenUrl(kProductPage);
}
