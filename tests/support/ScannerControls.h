#pragma once
// The three controls a scanner drives (status label, progress bar, findings list), on a hidden host
// window, as the main and details windows give them.
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Creates the host and the controls, and the list's columns (caption, width); returns the host, which
// the caller destroys (its children go with it).
HWND CreateScannerControls(TLabel& status, TProgressBar& progress, TListView& list,
                           std::initializer_list<std::pair<const wchar_t*, int>> columns);

// Each row of a four-column findings list as "caption|column 1|column 2|column 3|image|checked" (or
// "unchecked"), in UTF-8.
std::vector<std::string> ListRows(const TListView& list);
