// Program entry: the windowed program, or a console command (/scan, /restore, /?, or a command line
// that is not understood, which is told and never opens the window).
#include "app/ConsoleReport.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "ui/Application.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Arguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; list && i < count; ++i)
        arguments.emplace_back(list[i]);
    if (list)
        LocalFree(list);
    return arguments;
}

int BrisfoldMain()
{
    const TConsoleOptions options = ParseCommandLine(Arguments());
    if (options.Console()) {
#ifndef BRISFOLD_CONSOLE
        // A windowed program has no console of its own; report to the one it was started from.
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        if (!out || out == INVALID_HANDLE_VALUE)
            AttachConsole(ATTACH_PARENT_PROCESS);
#endif
        return RunConsoleReport(
            options, [](const std::wstring& text) { WriteStd(STD_OUTPUT_HANDLE, text); },
            [](const std::wstring& text) { WriteStd(STD_ERROR_HANDLE, text); });
    }
    // The main window first (its start-up runs now), then the details window connected to it, then the
    // loop.
    auto form = std::make_unique<TForm1>();
    form->Create(false);
    auto details = std::make_unique<TW_Details>(form->DetailsHost());
    form->Details = details.get();
    details->Create();
    if (!form->Handle() || !details->Handle()) {
        MessageBoxW(nullptr, L"The program's windows could not be created.", L"Initialization Error",
                    MB_OK | MB_ICONERROR);
        return 2;
    }
    if (!Application().Terminated) {
        ShowWindow(form->Handle(), SW_SHOW);
        UpdateWindow(form->Handle());
    }
    int code = Application().Run();
    details.reset();
    form.reset();
    return code;
}

} // namespace

#ifdef BRISFOLD_CONSOLE
int main()
{
    return BrisfoldMain();
}
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return BrisfoldMain();
}
#endif
