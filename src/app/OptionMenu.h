#pragma once
// "Settings..." and "Ignored items..." at the end of a window's system menu: the main window and the
// details window both offer them.
#include "app/OptionTexts.h"

#include <windows.h>

// System-menu commands: below 0xF000, their low 4 bits free.
inline constexpr UINT kSettingsCommand = 0x0010;
inline constexpr UINT kIgnoredItemsCommand = 0x0020;

// Appends a separator and the two commands; nothing when the texts were never read.
void AddOptionCommands(HMENU menu, const TOptionsContext& options);
// Runs command's dialog over owner when it is one of the two; false for any other command.
bool RunOptionCommand(HWND owner, UINT command, const TOptionsContext& options);
