#include "common/FileFind.h"

#include <atomic>

namespace {

std::atomic<TFindFirstCall> FindFirstCall{nullptr};

} // namespace

TFindHandle FindFirstEntry(const std::wstring& pattern, WIN32_FIND_DATAW& data)
{
    const TFindFirstCall call = FindFirstCall.load() ? FindFirstCall.load() : FindFirstFileExW;
    HANDLE find = call(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                       FIND_FIRST_EX_LARGE_FETCH);
    // Kept though this machine's Wine takes the first form: 64-bit Vista does not, and the tests stand in
    // for it through SetFindFirstCall.
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        find = call(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
    return TFindHandle(find);
}

void SetFindFirstCall(TFindFirstCall call)
{
    FindFirstCall.store(call);
}
