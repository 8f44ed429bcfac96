#pragma once
// The folder macros of the definition files' file and folder entries.
#include "common/AppFrame.h"

#include <string>

// Replaces the nineteen macros in their fixed order, each wherever it occurs and with exact case,
// by the folder text as looked up now (no backslash added or removed); a folder that cannot be
// looked up is empty, so its macro simply disappears.
std::wstring ExpandPathMacros(const std::wstring& path, const TAppFrame& folders);
