#include "ui/Dialog.h"

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Create.h"

#include <commctrl.h>

namespace {

void PushDword(std::vector<WORD>& data, DWORD value)
{
    data.push_back(LOWORD(value));
    data.push_back(HIWORD(value));
}

void PushText(std::vector<WORD>& data, const std::wstring& text)
{
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
}

void PushRect(std::vector<WORD>& data, int left, int top, int width, int height)
{
    for (int value : {left, top, width, height})
        data.push_back(static_cast<WORD>(static_cast<short>(value)));
}

} // namespace

TDialogTemplate::TDialogTemplate(std::wstring caption, int width, int height)
    : Caption_(std::move(caption)), Width_(width), Height_(height)
{
}

void TDialogTemplate::Add(TDialogItem item)
{
    Items_.push_back(std::move(item));
}

void TDialogTemplate::AddGroup(const std::wstring& text, int left, int top, int width, int height)
{
    Add({.Atom = 0x0080, .Text = text, .Style = BS_GROUPBOX, .Left = left, .Top = top, .Width = width,
         .Height = height});
}

void TDialogTemplate::AddLabel(const std::wstring& text, int left, int top, int width, int height, int id)
{
    Add({.Atom = 0x0082, .Text = text, .Id = id, .Style = SS_LEFT, .Left = left, .Top = top, .Width = width,
         .Height = height});
}

void TDialogTemplate::AddCheckBox(int id, const std::wstring& text, int left, int top, int width, int height)
{
    Add({.Atom = 0x0080, .Text = text, .Id = id, .Style = BS_AUTOCHECKBOX | WS_TABSTOP, .Left = left, .Top = top,
         .Width = width, .Height = height});
}

void TDialogTemplate::AddEdit(int id, int left, int top, int width, int height, DWORD style)
{
    Add({.Atom = 0x0081, .Id = id, .Style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | style, .Left = left,
         .Top = top, .Width = width, .Height = height});
}

void TDialogTemplate::AddDropDownList(int id, int left, int top, int width, int height)
{
    Add({.Atom = 0x0085, .Id = id, .Style = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, .Left = left,
         .Top = top, .Width = width, .Height = height});
}

void TDialogTemplate::AddButton(int id, const std::wstring& text, int left, int top, int width, int height,
                                bool isDefault)
{
    Add({.Atom = 0x0080, .Text = text, .Id = id, .Style = static_cast<DWORD>(isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
         .Left = left, .Top = top, .Width = width, .Height = height});
}

std::vector<WORD> TDialogTemplate::Build() const
{
    std::vector<WORD> data;
    data.push_back(1);      // version
    data.push_back(0xFFFF); // extended template
    PushDword(data, 0);     // help id
    PushDword(data, 0);     // extended style
    PushDword(data, DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    data.push_back(static_cast<WORD>(Items_.size()));
    PushRect(data, 0, 0, Width_, Height_);
    data.push_back(0); // no menu
    data.push_back(0); // the dialog class
    PushText(data, Caption_);
    data.push_back(8);                  // points
    data.push_back(FW_NORMAL);          // weight
    data.push_back(DEFAULT_CHARSET << 8); // italic (low byte), character set (high byte)
    PushText(data, L"MS Shell Dlg");
    for (const TDialogItem& item : Items_) {
        if (data.size() % 2)
            data.push_back(0); // items start on a DWORD boundary
        PushDword(data, 0);    // help id
        PushDword(data, item.ExStyle);
        PushDword(data, WS_CHILD | WS_VISIBLE | item.Style);
        PushRect(data, item.Left, item.Top, item.Width, item.Height);
        PushDword(data, static_cast<DWORD>(item.Id));
        if (item.ClassName.empty()) {
            data.push_back(0xFFFF);
            data.push_back(item.Atom);
        } else {
            PushText(data, item.ClassName);
        }
        PushText(data, item.Text);
        data.push_back(0); // no creation data
    }
    return data;
}

INT_PTR TDialog::ShowModal(HWND owner, const TDialogTemplate& layout)
{
    InitControls();
    const std::vector<WORD> data = layout.Build();
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(data.data()), owner,
                                DialogProc, reinterpret_cast<LPARAM>(this));
    Handle_ = nullptr;
    return result;
}

void TDialog::End(INT_PTR result)
{
    EndDialog(Handle_, result);
}

std::wstring TDialog::Text(int id) const
{
    return WindowText(Item(id));
}

void TDialog::FocusItem(int id)
{
    SendMessageW(Handle_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

INT_PTR CALLBACK TDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<TDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->Handle_ = window;
        if (self->OnInit)
            Application().Guard([&] { self->OnInit(); });
        return TRUE; // the first item with a tab stop gets the focus
    }
    auto* self = reinterpret_cast<TDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        bool handled = false;
        if (self->OnCommand)
            Application().Guard([&] { handled = self->OnCommand(id, HIWORD(wParam)); });
        if (!handled && (id == IDOK || id == IDCANCEL))
            self->End(id);
        return TRUE;
    }
    if (message == WM_NOTIFY && self->OnNotify) {
        bool handled = false;
        Application().Guard([&] { handled = self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); });
        return handled ? TRUE : FALSE;
    }
    return FALSE;
}

int TDialog::UnitsToPixels(int units) const
{
    RECT r{0, 0, units, 0};
    MapDialogRect(Handle_, &r);
    return r.right;
}

void TDialog::AddListColumn(int listId, int column, const std::wstring& caption, int widthUnits, int format) const
{
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = format;
    c.cx = UnitsToPixels(widthUnits);
    c.pszText = const_cast<wchar_t*>(caption.c_str());
    SendMessageW(Item(listId), LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
}
