#pragma once
// The folder macros of the definition files' file and folder entries.
#include "common/AppFrame.h"

#include <string>

// Replaces the nineteen macros in their fixed order, each wherever it occurs and with exact case,
// by the folder text as looked up now (no backslash added or removed); a folder that cannot be
// looked up is empty, so its macro simply disappears.
// Wow32 expands the Program Files and system-folder macros to the folders 32-bit programs use on
// 64-bit Windows (Program Files (x86), SysWOW64).
// root, when given, receives the folder the path is taken below: the expansion of the macro it starts
// with, or its drive root ("C:\") when it starts with none. Links below that folder are refused when
// the finding is removed.
enum class TPathView { Native, Wow32 };
std::wstring ExpandPathMacros(const std::wstring& path, const TAppFrame& folders,
                              TPathView view = TPathView::Native, std::wstring* root = nullptr);
