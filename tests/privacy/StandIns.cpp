#include "StandIns.h"

#include "common/SystemFolders.h"

#include <gtest/gtest.h>

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
