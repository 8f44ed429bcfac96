#pragma once
// The one place where text crosses between UTF-16 and the system's 8-bit code page (CP_ACP).
// Definition texts, size texts and URL-cache records are 8-bit; everything else stays wide.
#include <string>
#include <string_view>

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
// UTF-8 for console, log and report output, where the 8-bit code page would lose characters. A lone
// surrogate becomes U+FFFD: the result is always valid UTF-8.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// True when the text goes into the 8-bit code page and back unchanged (no character replaced or
// approximated by a similar one).
bool FitsAnsiCodePage(std::wstring_view text);
