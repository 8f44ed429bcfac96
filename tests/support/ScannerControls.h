#pragma once
// The three controls a scanner drives (status label, progress bar, findings list), on a hidden host
// window, as the main and details windows give them.
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

#include <initializer_list>
#include <utility>

// Creates the host and the controls, and the list's columns (caption, width); returns the host, which
// the caller destroys (its children go with it).
HWND CreateScannerControls(TLabel& status, TProgressBar& progress, TListView& list,
                           std::initializer_list<std::pair<const wchar_t*, int>> columns);
