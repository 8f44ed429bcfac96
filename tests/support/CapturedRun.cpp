#include "support/CapturedRun.h"

#include "common/Handles.h"

#include <fstream>
#include <iterator>

TCapturedRun RunCaptured(const std::wstring& program, const std::wstring& arguments, const std::wstring& outputFile,
                         DWORD waitMs)
{
    TCapturedRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    {
        const THandle output(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                         0, nullptr));
        if (!output) {
            run.Error = GetLastError();
            return run;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
        PROCESS_INFORMATION process{};
        std::wstring command = L"\"" + program + L"\" " + arguments;
        run.Started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                     &startup, &process) != FALSE;
        if (!run.Started) {
            run.Error = GetLastError();
            return run;
        }
        const THandle processHandle(process.hProcess);
        const THandle thread(process.hThread);
        run.Ended = WaitForSingleObject(processHandle.Get(), waitMs) == WAIT_OBJECT_0;
        if (run.Ended)
            GetExitCodeProcess(processHandle.Get(), &run.Status);
        else
            TerminateProcess(processHandle.Get(), 99); // the one process this run started
    }
    std::ifstream in(outputFile.c_str(), std::ios::binary);
    run.Output.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}
