#include "app/OpenDocument.h"

#include "common/AppFrame.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"
#include "common/TextCompare.h"

#include <windows.h>
#include <shellapi.h>

void OpenDocument(const std::wstring& command)
{
    std::wstring text = command;
    ReplaceAll(text, L"%WINDOWS%", WindowsFolder());
    ReplaceAll(text, L"%SYSTEM%", SystemFolder());
    const std::wstring appFolder = TAppFrame().ExeFolder;
    ReplaceAll(text, L"%APP%\\", appFolder);
    ReplaceAll(text, L"%APP%/", appFolder);

    if (StartsWithText(text, L"RUNDLL32.EXE")) {
        const std::wstring parameters = text.size() > 13 ? text.substr(13) : std::wstring();
        ShellExecuteW(nullptr, L"open", L"RunDll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    ShellExecuteW(nullptr, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
