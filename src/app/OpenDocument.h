#pragma once
// Opening a document, page or program the way the links of the main window do.
#include <string>

// Expands %WINDOWS%, %SYSTEM%, %APP%\ and %APP%/ and opens the result with the shell.
void OpenDocument(const std::wstring& command);
