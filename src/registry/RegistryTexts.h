#pragma once
// The lines of language section "M_RegistryScan", by position: each names one kind of finding (the
// rows' item name) and, after the scan prefix, the status line while its check runs. Every finding
// carries the line of the check that found it; a new kind of finding takes a new line at the
// section's end, so that the positions of the translations stay.
namespace RegText {
inline constexpr int AppPath = 0;
inline constexpr int EmptyKey = 1;
inline constexpr int ComEntry = 2;
inline constexpr int ComIcon = 3;
inline constexpr int HelpFile = 4;
inline constexpr int InstallerFolder = 5;
// Line 6 is not used.
inline constexpr int FileHistory = 7;
inline constexpr int FileExtension = 8;
inline constexpr int SharedDll = 9;
inline constexpr int Uninstall = 10;
inline constexpr int FileTypeIcon = 11;
inline constexpr int FileTypeCommand = 12;
inline constexpr int Font = 13;
inline constexpr int MenuOrder = 14;
inline constexpr int Sound = 15;
inline constexpr int Startup = 16;
inline constexpr int StartMenu = 17;
inline constexpr int MuiCache = 18;
inline constexpr int DeepScan = 19;
inline constexpr int Driver = 20;
inline constexpr int DeepValue = 21;
inline constexpr int Last = DeepValue;
} // namespace RegText
