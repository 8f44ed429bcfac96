#pragma once
// The DPI of a window's monitor and the scaling of 96-DPI design units to its pixels.
#include <windows.h>

// Dots per inch of the window (the system's when the call is unavailable).
int DpiOf(HWND window);
// Design units (96 DPI) to pixels of the window's monitor.
int ScaleTo(HWND window, int value);
