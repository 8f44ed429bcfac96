#pragma once
// A file's security descriptor as text (SDDL): the quarantine keeps each item's own in its manifest
// and puts it back on restore, and gives what it holds its protected access list meanwhile.
#include <windows.h>

#include <string>

// Owner, group and access list of the open item (READ_CONTROL); empty when it cannot be read.
std::wstring SecuritySddl(HANDLE item);
// Sets the access list of the SDDL text on the open item (WRITE_DAC), and its owner and group where the
// text has them and the process may set them (WRITE_OWNER). An access list that was not protected takes
// its inherited entries from the folder the item lies in now. 0, or the system's error code.
DWORD ApplySddl(HANDLE item, const std::wstring& sddl);
