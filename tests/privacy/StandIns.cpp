#include "StandIns.h"

#include "common/Kelvor_Routine.h"
#include "common/SystemFolders.h"
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
        if (DriveShowsFolder(drive, folder) || MapUnixDrive(*letter, folder)) {
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

StandInProcess::StandInProcess(const std::wstring& fileName)
{
    const std::wstring program = ProgramFileName();
    const std::wstring waiting = program.substr(0, program.find_last_of(L'\\')) + L"\\privacy_waiting.exe";
    if (!CopyFileW(waiting.c_str(), fileName.c_str(), FALSE)) {
        ADD_FAILURE() << "copying the waiting program, error " << GetLastError();
        return;
    }
    Job_.Reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    EXPECT_TRUE(Job_ && SetInformationJobObject(Job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so that it cannot outlive the test program.
    if (!CreateProcessW(fileName.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "starting " << testing::PrintToString(fileName) << ", error " << GetLastError();
        return;
    }
    Process_.Reset(process.hProcess);
    const THandle thread(process.hThread);
    EXPECT_TRUE(AssignProcessToJobObject(Job_.Get(), Process_.Get())) << "error " << GetLastError();
    ResumeThread(thread.Get());
}

void StandInProcess::End()
{
    if (!Process_)
        return;
    TerminateProcess(Process_.Get(), 0);
    EXPECT_EQ(WaitForSingleObject(Process_.Get(), 10000), WAIT_OBJECT_0);
    Process_.Reset();
    Job_.Reset();
}

DatabaseHolder::DatabaseHolder(const std::wstring& database)
{
    const std::wstring program = ProgramFileName();
    const std::wstring holder = program.substr(0, program.find_last_of(L'\\')) + L"\\privacy_holder.exe";
    const std::wstring eventName = L"BrisfoldHolder-" + std::to_wstring(GetCurrentProcessId());
    const THandle ready(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    Job_.Reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(Job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::wstring command = L"\"" + holder + L"\" \"" + database + L"\" " + eventName;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(holder.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "starting the holder, error " << GetLastError();
        return;
    }
    Process_.Reset(process.hProcess);
    const THandle thread(process.hThread);
    AssignProcessToJobObject(Job_.Get(), Process_.Get());
    ResumeThread(thread.Get());
    const HANDLE waits[] = {ready.Get(), Process_.Get()};
    Holding_ = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
    EXPECT_TRUE(Holding_) << "the holder did not take the lock of " << testing::PrintToString(database);
}

DatabaseHolder::~DatabaseHolder()
{
    if (!Process_)
        return;
    TerminateProcess(Process_.Get(), 0);
    WaitForSingleObject(Process_.Get(), 10000);
}
