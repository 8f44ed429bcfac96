#include "ui/MessagePump.h"

#include "ui/Application.h"

#include <windows.h>

void ProcessMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outer loop must still see the quit request.
            Application().Terminated = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (Application().KeyboardMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
