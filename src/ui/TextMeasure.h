#pragma once
// Widths of texts as a window draws them: in its own font, on its own screen.
#include <windows.h>

#include <string>

class TMeasure {
public:
    explicit TMeasure(HWND window) : Window_(window), Dc_(GetDC(window))
    {
        if (auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); font && Dc_)
            Old_ = SelectObject(Dc_, font);
    }
    ~TMeasure()
    {
        if (Old_)
            SelectObject(Dc_, Old_);
        if (Dc_)
            ReleaseDC(Window_, Dc_);
    }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;

    int Width(const std::wstring& text) const
    {
        SIZE size{};
        if (Dc_)
            GetTextExtentPoint32W(Dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    HWND Window_;
    HDC Dc_;
    HGDIOBJ Old_ = nullptr;
};
