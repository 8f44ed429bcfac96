#include "common/TextCompare.h"

#include <windows.h>

namespace {

bool SameRange(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength)
{
    return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
}

} // namespace

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return SameRange(a.c_str(), a.size(), b.c_str(), b.size());
}

bool StartsWithText(const std::wstring& text, const std::wstring& part)
{
    return text.size() >= part.size() && SameRange(text.c_str(), part.size(), part.c_str(), part.size());
}

bool EndsWithText(const std::wstring& text, const std::wstring& part)
{
    return text.size() >= part.size() &&
           SameRange(text.c_str() + (text.size() - part.size()), part.size(), part.c_str(), part.size());
}

std::wstring UpperText(const std::wstring& text)
{
    std::wstring upper = text;
    if (!upper.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()), upper.data(),
                      static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return upper;
}
