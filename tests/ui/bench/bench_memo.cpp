// Memo fill speed: the adapter (lines gathered, one WM_SETTEXT) against the same text set directly
// and against appending line by line with EM_REPLACESEL, for growing line counts. Prints figures.
#include "ui/Create.h"
#include "ui/Memo.h"
#include "ui/MessagePump.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring LineText(int i)
{
    return L"C:\\Temp\\junk file number " + std::to_wstring(i) + L".tmp";
}

} // namespace

int main()
{
    HWND host = CreateHostWindow();
    std::printf("%8s %12s %12s %14s\n", "lines", "adapter s", "settext s", "append s");
    for (int lines : {12500, 25000, 50000, 100000}) {
        TMemo memo;
        memo.Create({.Parent = host, .Width = 400, .Height = 300, .Style = ES_READONLY | WS_VSCROLL});
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < lines; ++i)
            memo.Add(LineText(i));
        ProcessMessages();
        double adapter = Seconds(start);

        // The control's own cost for the same text: the floor for any approach.
        HWND plain = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0, 400,
                                     300, host, nullptr, nullptr, nullptr);
        SendMessageW(plain, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
        const std::wstring text = memo.Text();
        start = std::chrono::steady_clock::now();
        SetWindowTextW(plain, text.c_str());
        double settext = Seconds(start);

        // Appending line by line, only up to 25000 lines: it grows with the square of the count.
        double append = -1;
        if (lines <= 25000) {
            SetWindowTextW(plain, L"");
            start = std::chrono::steady_clock::now();
            for (int i = 0; i < lines; ++i) {
                std::wstring line = (i ? L"\r\n" : L"") + LineText(i);
                int end = GetWindowTextLengthW(plain);
                SendMessageW(plain, EM_SETSEL, end, end);
                SendMessageW(plain, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
            }
            append = Seconds(start);
        }
        DestroyWindow(plain);
        std::printf("%8d %12.3f %12.3f %14.3f%s\n", lines, adapter, settext, append, append < 0 ? " (skipped)" : "");
        std::fflush(stdout);
        DestroyWindow(memo.Handle());
    }
    DestroyWindow(host);
    return 0;
}
