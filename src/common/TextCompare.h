#pragma once
// Comparing names the way the file system and the registry do: ordinal, without regard to case, the
// same on every locale. The one place such comparisons are written; the 8-bit texts compare in
// TextLines (AsciiUpper).
#include <string>

bool SameText(const std::wstring& a, const std::wstring& b);
// True when text begins / ends with part, compared as SameText does.
bool StartsWithText(const std::wstring& text, const std::wstring& part);
bool EndsWithText(const std::wstring& text, const std::wstring& part);
// The text upper-cased the same way on every locale, for keys that must compare as SameText does.
std::wstring UpperText(const std::wstring& text);
