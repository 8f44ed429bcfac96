#include "app/JunkPage.h"

#include "app/FindingsMenu.h"
#include "app/OptionTexts.h"
#include "ui/Clipboard.h"
#include "ui/PopupMenu.h"

#include <algorithm>

namespace {
const wchar_t kFontName[] = L"Courier New";
const int kFontHeight = 12;
const int kLineHeight = 14; // a heading line in 96-DPI units
} // namespace

void TJunkPage::CreatePage(const TDetailsHost& host, HWND page, int width, int height)
{
    Host_ = &host;
    const int headingHeight = kHeadingLines * kLineHeight + 4;
    Heading.Create({.Parent = page, .Left = 4, .Top = 2, .Width = width - 8, .Height = headingHeight - 2,
                    .FontName = kFontName, .FontHeight = kFontHeight});
    Heading.SetBackColor(GetSysColor(COLOR_WINDOW));
    Create({.Parent = page, .Top = headingHeight, .Width = width, .Height = height - headingHeight,
            .Style = WS_BORDER, .FontName = kFontName, .FontHeight = kFontHeight});
    SetHeadLines(kHeadingLines);
    OnFlushed = [this] { ShowHeading(); };
    OnContextMenu = [this](POINT screen, int) { ShowMenu(screen); };
    OnKeyDown = [this](WORD key) { return OnKey(key); };
}

void TJunkPage::ShowHeading()
{
    std::wstring text;
    for (int i = 0, n = std::min(HeadLines(), Count()); i < n; ++i)
        text += (i ? L"\r\n" : L"") + Line(i);
    if (Heading.Caption() != text)
        Heading.SetCaption(text);
}

std::wstring TJunkPage::ControlText() const
{
    std::wstring text = Heading.Caption();
    const std::wstring rows = RowsText();
    if (!rows.empty() || ListView_GetItemCount(Handle()) > 0)
        text += L"\r\n" + rows;
    return text;
}

bool TJunkPage::OnKey(WORD key)
{
    if (!(GetKeyState(VK_CONTROL) & 0x8000))
        return false;
    if (key == 'A') {
        SelectAll();
        return true;
    }
    return key == 'C' && Run(cmCopy);
}

bool TJunkPage::Available(UINT command) const
{
    const int row = FirstSelected();
    if (row < 0 || row >= RowCount())
        return false;
    switch (command) {
    case cmCopy: return true;
    case cmOpenLocation: return LocationOfFile(Line(LineOfRow(row))).Kind != TLocation::TKind::None;
    default: return false;
    }
}

void TJunkPage::ShowMenu(POINT screen)
{
    if (!Host_ || !Host_->Options)
        return;
    const TOptionsContext options = Host_->Options();
    TPopupMenu menu;
    menu.Add(cmOpenLocation, options.Text(OptionText::OpenLocation), Available(cmOpenLocation));
    menu.AddSeparator();
    menu.Add(cmCopy, options.Text(OptionText::Copy), Available(cmCopy));
    if (const UINT command = menu.Track(GetAncestor(Handle(), GA_ROOT), screen))
        Run(command);
}

bool TJunkPage::Run(UINT command)
{
    if (!Available(command))
        return false;
    if (command == cmOpenLocation)
        OpenLocation(LocationOfFile(Line(LineOfRow(FirstSelected()))), Launch);
    else
        SetClipboardText(GetAncestor(Handle(), GA_ROOT), SelectedText());
    return true;
}
