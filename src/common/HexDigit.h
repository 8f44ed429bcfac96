#pragma once
// The value of one hexadecimal digit (either case), or -1: for the readers of the program's own text
// formats (undo files, quarantine manifests).
inline int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}
