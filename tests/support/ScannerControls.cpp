#include "support/ScannerControls.h"

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
