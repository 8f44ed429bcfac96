#pragma once
// Plain text on the system's clipboard.
#include <windows.h>

#include <string>

// Replaces the clipboard's content by the text (CF_UNICODETEXT); false when the clipboard is held by
// another program or memory runs out.
bool SetClipboardText(HWND owner, const std::wstring& text);
