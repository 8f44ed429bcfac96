#pragma once
// The details window: one page per module, the findings and the privacy selection.
#include "app/DetailsHost.h"
#include "app/FindingsMenu.h"
#include "app/JunkPage.h"
#include "ui/Button.h"
#include "ui/CheckTree.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Memo.h"
#include "ui/PageControl.h"
#include "ui/Picture.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TIniFile;
class TSettings;

class TW_Details {
public:
    explicit TW_Details(TDetailsHost host);
    ~TW_Details();
    TW_Details(const TW_Details&) = delete;
    TW_Details& operator=(const TW_Details&) = delete;

    // Creates the window (hidden) and its components, then runs FormCreate.
    void Create();
    HWND Handle() const { return Handle_; }

    // Components.
    TPageControl TntPageControl1;
    TPanel* TntTabSheet1 = nullptr; // spyware
    TPanel* TntTabSheet4 = nullptr; // registry
    TPanel* TntTabSheet5 = nullptr; // privacy
    TPanel* TntTabSheet6 = nullptr; // junk files
    TPicture Image1, Image2;
    TLabel Label1, Label2;
    TListView SpyListView, RegListView;
    TCheckBox chk2, chk1;
    TPanel Panel1, Panel2, Panel3, Panel4; // bottom strips holding the "OK" buttons
    TButton btn1, btn4, btn2, btn3;
    TCheckTree RzCheckTree1;
    TMemo PrivacyList;
    TJunkPage TempMemo;
    // Below the privacy tree while a policy sets the selection: "Set by your administrator".
    TLabel PolicyNote;
    TImageList ImageList1{16, 16};

    void FormCreate();
    std::wstring GetSelection() const;
    void btn1Click();
    void chk2Click();
    void chk1Click();
    // The right-click menu of the spyware and registry lists.
    TFindingsMenu& FindingsMenu() { return *FindingsMenu_; }
    // Stores the privacy selection in Main.ini when the user changed it; runs when the window closes.
    // A selection that a policy sets is the administrator's: the tree is read-only and nothing is stored.
    void SaveSelection();
    // Shows the window over the main window (which is disabled meanwhile) until it is closed.
    void ShowModal();
    // The system menu's "Undo a repair": the dialog of every repair that can be undone.
    void UndoClick();
    static constexpr UINT kUndoCommand = 0x0030; // system-menu command: below 0xF000, low 4 bits free
    bool Modal() const { return InModal_; }
    int ModalCount() const { return ModalCount_; }

    // The group nodes of the category tree, in tree order; every other node is a category.
    const std::vector<int>& GroupNodes() const { return GroupNodes_; }
    bool IsGroupNode(int index) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseBox();
    LRESULT OnDpiChanged(int newDpi, LPARAM suggested);
    bool OnSysCommand(UINT command);
    void AddSystemMenuItems();
    void CreateComponents();
    void BuildTree();
    // The category tree is there with every node (a page that failed would take it along).
    bool TreeAlive() const;
    TIniFile SettingsFile() const;

    TDetailsHost Host_;
    HWND Handle_ = nullptr;
    int Dpi_ = 96;
    bool InModal_ = false;
    bool CloseModal_ = false;
    // Hidden because the user minimised it: shown again once the main window is restored.
    bool DownWithOwner_ = false;
    int ModalCount_ = 0;
    std::unique_ptr<TFindingsMenu> FindingsMenu_;
    std::wstring StoredSelection_; // as Main.ini gives it
    std::vector<int> GroupNodes_;
    // The captions: sections "M_Details" and "M_Tree", and the buttons' "OK".
    TWideStrings Texts_, TreeTexts_;
    std::wstring Ok_;
};
