#include "support/ScratchDrive.h"

#include "common/Kelvor_Routine.h"
#include "support/ScratchFolder.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

namespace {

// Letters no Wine prefix gives out by itself.
const wchar_t kDriveLetters[] = L"PQRSTUVWXY";

// The drive shows the folder: a marker file written into the folder is seen through it.
bool DriveShowsFolder(const std::wstring& drive, const std::wstring& folder)
{
    const std::wstring marker = L"drive-marker-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    WriteTextFile(folder + L"\\" + marker, "x");
    const bool shows = FileExists(drive + L"\\" + marker);
    DeleteFileW((folder + L"\\" + marker).c_str());
    return shows;
}

} // namespace

ScratchDrive::ScratchDrive(const std::wstring& folder)
{
    for (const wchar_t* letter = kDriveLetters; *letter; ++letter) {
        const std::wstring drive = {*letter, L':'};
        // A letter another test program mapped at the same moment is left to it.
        if (DriveShowsFolder(drive, folder) || (MapUnixDrive(*letter, folder) && DriveShowsFolder(drive, folder))) {
            Drive_ = drive;
            break;
        }
    }
    EXPECT_FALSE(Drive_.empty()) << "no drive letter could be mapped to " << testing::PrintToString(folder);
}

ScratchDrive::~ScratchDrive()
{
    if (!Drive_.empty())
        EXPECT_TRUE(UnmapUnixDrive(Drive_[0])) << testing::PrintToString(Drive_);
}
