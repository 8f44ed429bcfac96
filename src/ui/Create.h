#pragma once
// Shared pieces of control creation: fonts, the parent hook, hidden host windows.
#include <windows.h>

#include <string>

// A font shared by every control that asks for the same face, height and style; freed at exit.
// height is in pixels at the given DPI scaling of 96-DPI units.
HFONT SharedFont(const std::wstring& face, int height96, unsigned style, int dpi);

// Hands WM_COMMAND, WM_NOTIFY, WM_CONTEXTMENU and WM_CTLCOLOR* about an adapter-made child back to its
// adapter; true when the adapter handled it (result then holds the answer). The window procedures of
// the program's own classes call this first (their classes are registered with ReflectsControls).
bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Makes any other parent window do the same, through a subclass. Idempotent.
void HookParent(HWND parent);

// A hidden top-level window to hold controls (tests, the console report).
HWND CreateHostWindow(int width = 640, int height = 480);

// Registers the window classes the adapters use and loads the common controls (once).
void InitControls();

// Rescales every adapter-made window below top (WM_DPICHANGED of a top-level window).
void RescaleChildren(HWND top, int oldDpi, int newDpi);
