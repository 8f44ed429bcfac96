#pragma once
// Dialogs built in memory, without a resource script. The system's dialog manager gives them what a
// native dialog has: tab order (the order of the items), the default and cancel buttons (Enter and
// Esc), mnemonics, keyboard focus, and a layout in dialog units, which follow the dialog font and so
// the DPI.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Items of the template, in dialog units. Item kinds the dialog manager knows are given by atom.
struct TDialogItem {
    WORD Atom = 0x0082;     // 0x0080 button, 0x0081 edit, 0x0082 static, 0x0085 combo box
    std::wstring ClassName; // a registered class instead (list view, up-down); takes precedence
    std::wstring Text;
    int Id = -1;
    DWORD Style = 0; // WS_CHILD and WS_VISIBLE are added
    DWORD ExStyle = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

class TDialogTemplate {
public:
    // A modal dialog with a caption, a close box and the shell's dialog font, centred on the screen.
    TDialogTemplate(std::wstring caption, int width, int height);

    void Add(TDialogItem item);
    void AddGroup(const std::wstring& text, int left, int top, int width, int height);
    void AddLabel(const std::wstring& text, int left, int top, int width, int height, int id = -1);
    void AddCheckBox(int id, const std::wstring& text, int left, int top, int width, int height = 10);
    void AddEdit(int id, int left, int top, int width, int height, DWORD style = 0);
    void AddDropDownList(int id, int left, int top, int width, int height);
    // isDefault: the button that Enter presses.
    void AddButton(int id, const std::wstring& text, int left, int top, int width = 50, int height = 14,
                   bool isDefault = false);

    // The DLGTEMPLATEEX with its items, as the dialog functions take it.
    std::vector<WORD> Build() const;

private:
    std::wstring Caption_;
    int Width_;
    int Height_;
    std::vector<TDialogItem> Items_;
};

class TDialog {
public:
    TDialog() = default;
    TDialog(const TDialog&) = delete;
    TDialog& operator=(const TDialog&) = delete;

    // Runs the dialog over owner (which is disabled meanwhile) until End; returns End's result, or -1
    // when the dialog could not be made.
    INT_PTR ShowModal(HWND owner, const TDialogTemplate& layout);
    void End(INT_PTR result);
    HWND Handle() const { return Handle_; }
    HWND Item(int id) const { return GetDlgItem(Handle_, id); }

    bool Checked(int id) const { return IsDlgButtonChecked(Handle_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) { CheckDlgButton(Handle_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text) { SetDlgItemTextW(Handle_, id, text.c_str()); }
    // Moves the keyboard focus the way the dialog manager does (an edit's text gets selected).
    void FocusItem(int id);
    // Dialog units across, in pixels of this dialog (its font and DPI).
    int UnitsToPixels(int units) const;
    // Adds a column to a report-style list view of the dialog, its width in dialog units.
    void AddListColumn(int listId, int column, const std::wstring& caption, int widthUnits, int format = 0) const;

    // After the items exist, before the dialog shows.
    std::function<void()> OnInit;
    // A command of an item (IDOK and IDCANCEL too); true when handled. Unhandled IDOK and IDCANCEL end
    // the dialog with their id.
    std::function<bool(int id, int code)> OnCommand;
    // A notification of an item; true when handled.
    std::function<bool(const NMHDR& header)> OnNotify;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Handle_ = nullptr;
};
