#pragma once
// Deletion of a file at the next start of Windows, for files that are in use now.
#include "privacy/PrivacyPlatform.h"

#include <string>

// Arranges for the file to be deleted when Windows next starts: MoveFileEx on the NT family, a
// "NUL=short path" line directly after "[rename]" in the Windows folder's wininit.ini on the 9x family
// (the rest of that file is kept). False when nothing was arranged: Win32s (last error
// ERROR_NOT_SUPPORTED), a failed MoveFileEx, a path without an 8-bit short form, or a wininit.ini that
// could not be read or written (it is then left as it was).
bool DeleteFileOnReboot(const std::wstring& path, const TPrivacyPlatform& platform = SystemPrivacyPlatform());
