#include "support/ScannerControls.h"

#include "common/CodePage.h"
#include "ui/Create.h"

HWND CreateScannerControls(TLabel& status, TProgressBar& progress, TListView& list,
                           std::initializer_list<std::pair<const wchar_t*, int>> columns)
{
    InitControls();
    const HWND host = CreateHostWindow();
    TControlArgs args;
    args.Parent = host;
    args.Width = 300;
    args.Height = 20;
    status.Create(args);
    progress.Create(args);
    args.Height = 200;
    list.Create(args);
    for (const auto& [caption, width] : columns)
        list.AddColumn(caption, width);
    return host;
}

std::vector<std::string> ListRows(const TListView& list)
{
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back(WideToUtf8(list.Caption(i) + L"|" + list.SubItem(i, 1) + L"|" + list.SubItem(i, 2) + L"|" +
                                  list.SubItem(i, 3)) +
                       "|" + std::to_string(list.ImageIndex(i)) + "|" + (list.Checked(i) ? "checked" : "unchecked"));
    return rows;
}
