#pragma once
// The main window: the four module rows, "Start Scan", "Stop Scan" and "Repair" as the user sees
// them, and the settings and the ignored items from its system menu. The scan run behind it does the
// work.
#include "app/DetailsHost.h"
#include "app/OptionMenu.h"
#include "app/OptionTexts.h"
#include "app/ResultRows.h"
#include "app/ScanRun.h"
#include "ui/Animate.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/Picture.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class TW_Details;

class TForm1 {
public:
    // programFolder: where Def.dbd and Language\ are looked for; empty for the program's own folder.
    explicit TForm1(std::wstring programFolder = L"");
    ~TForm1(); // FormDestroy, then the window
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Creates the window and its components, then runs FormCreate; its errors go to the
    // application-wide handler. The window is shown only when visible is set.
    void Create(bool visible = true);
    HWND Handle() const { return Handle_; }
    std::wstring Caption() const;
    // Asks FormCloseQuery, then hides the window and asks the application to quit.
    void Close();
    // The window moved to a monitor of another DPI (WM_DPICHANGED).
    void DpiChanged(int newDpi);

    // Components, in the order of the window layout.
    TPicture TntImage2; // banner
    TPicture TntImage1; // logo
    TLabel TntLabel1;   // banner title
    TLabel lbl1;        // "Home"
    TLabel lbl2;        // "Update"
    TLabel TntLabel17, TntLabel25, TntLabel27, TntLabel29; // row titles
    TLabel TntLabel18, TntLabel26, TntLabel28, TntLabel30; // row descriptions
    TPicture img1, img2, img3, img4;
    TLabel LP1, LP2, LP3, LP4;
    TPicture IM_Flag;
    TLabel TntLabel43; // "Scanning..."
    TProgressBar TotalP_A;
    TLabel LEntry;
    TAnimate ani1;
    TButton TntButton1; // "Start Scan"
    TButton TntButton3; // "Repair"
    TButton TntBitBtn1; // "Stop Scan"
    TTimer Timer1{1000};
    TTimer Timer2{500};

    // Handlers.
    void FormCreate();
    void InitializeProgram();
    void Timer1Timer();
    void Timer2Timer();
    void TntButton1Click();
    void TntBitBtn1Click();
    void TntButton3Click();
    void ShowResult(int64_t count, TLabel& line, int mode);
    void LP1Click() { RowClick(0); }
    void LP2Click() { RowClick(1); }
    void LP3Click() { RowClick(2); }
    void LP4Click() { RowClick(3); }
    void LP1MouseMove() { RowMouseMove(0); }
    void LP2MouseMove() { RowMouseMove(1); }
    void LP3MouseMove() { RowMouseMove(2); }
    void LP4MouseMove() { RowMouseMove(3); }
    void LP1MouseLeave() { RowMouseLeave(0); }
    void LP2MouseLeave() { RowMouseLeave(1); }
    void LP3MouseLeave() { RowMouseLeave(2); }
    void LP4MouseLeave() { RowMouseLeave(3); }
    bool FormCloseQuery();
    void FormDestroy();
    void ApplicationEvents1Exception(std::exception_ptr error);
    void lbl1Click();
    void lbl2Click();
    // The system menu's "Settings..." and "Ignored items...": modal dialogs over the window.
    static constexpr UINT kSettingsCommand = ::kSettingsCommand;
    static constexpr UINT kIgnoredItemsCommand = ::kIgnoredItemsCommand;
    // The user took findings out of a row's list (ignored them): the row's count and its result line
    // follow the list at once.
    void FindingsChanged(int row, int count);
    // What the findings menu and the option dialogs work with.
    TOptionsContext Options() const;
    // What the details window needs of this window and the scan run.
    TDetailsHost DetailsHost();

    // Start-up's state, the scanners, the counts and the result lines.
    TScanRun Run;
    // The details window, whose lists the scanners fill; the program's entry connects it.
    TW_Details* Details = nullptr;

    // The text of the last error that reached ApplicationEvents1Exception, which also shows it.
    std::wstring LastErrorMessage;
    // What the platform does, replaceable so that tests and the console report can watch it.
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> ShowMessage;
    std::function<void()> QuitApplication;
    std::function<void(const std::wstring& command)> OpenUrl;
    // Told when "Start Scan" begins a row (0 spyware .. 3 junk files), before the row's scanner runs.
    std::function<void(int row)> OnRowStart;

    static constexpr wchar_t kHomePage[] = L"https://www.kelvor.example/";
    static constexpr wchar_t kProductPage[] = L"https://www.kelvor.example/brisfold/";

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseBox();
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnDpiChanged(int newDpi, LPARAM suggested);
    bool OnSysCommand(UINT command);
    void OnInitMenuPopup(HMENU menu, bool windowMenu);
    // The two option commands at the end of the system menu, once their texts are known.
    void AddSystemMenuItems();
    void CreateComponents();
    // The captions and tips from the language that start-up read.
    void ShowTexts();
    // A row's controls, in the order of the row table.
    struct TRowControls {
        TLabel* Title;
        TLabel* Description;
        TPicture* Icon;
        TLabel* Result;
    };
    TLabel& ResultLine(int row) { return *Rows_[static_cast<size_t>(row)].Result; }
    TLabel& RowTitle(int row) { return *Rows_[static_cast<size_t>(row)].Title; }
    // Draws a result line as the scan run says it reads.
    static void ShowLine(TLabel& line, const TResultLine& result);
    TScanControls Controls();
    void RowClick(int row);
    void RowMouseMove(int row);
    void RowMouseLeave(int row);
    void MoveFlagTo(int row, bool withScanningLabel);
    void FinishScan();
    void FinishRepair();
    void KeepKeyboardFocus(TButton& shown);
    // Tells the user why the program cannot start and asks it to end.
    void StartupFailed(const std::wstring& text);

    std::array<TRowControls, kRowCount> Rows_;
    HWND Handle_ = nullptr;
    int Dpi_ = 96;
    bool ShowingError_ = false;
    bool Repairing_ = false;
};

