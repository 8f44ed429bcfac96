#include "app/ReportFile.h"

#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemError.h"

#include <windows.h>

namespace {

std::wstring ErrorText(DWORD error)
{
    const std::wstring text = SystemErrorText(error);
    return text.empty() ? L"error " + std::to_wstring(error) : text;
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return {};
    full.resize(length);
    return full;
}

} // namespace

TReportFile::~TReportFile()
{
    Discard();
}

void TReportFile::Discard()
{
    File_.Reset();
    if (!Temporary_.empty())
        (void)DeleteFileSafe(Temporary_); // our own unfinished file; nothing else to tell
    Temporary_.clear();
}

std::wstring TReportFile::Prepare(const std::wstring& path)
{
    Discard();
    Path_ = FullPath(path);
    if (Path_.empty() || Path_.back() == L'\\')
        return L"\"" + path + L"\" is not a file name";
    const std::wstring folder = ParentFolder(Path_);
    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"the folder " + folder + L" does not exist";
    const DWORD attributes = GetFileAttributesW(Path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return Path_ + L" is a folder";
        // An earlier report is replaced at the end: find out now whether it may be.
        THandle existing(CreateFileW(Path_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                     FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!existing)
            return Path_ + L" cannot be replaced: " + ErrorText(GetLastError());
    }
    // Beside the report, so that moving it into place is a rename on the same volume.
    Temporary_ = Path_ + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    File_.Reset(CreateFileW(Temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File_) {
        const DWORD error = GetLastError();
        Temporary_.clear();
        return Path_ + L" cannot be written: " + ErrorText(error);
    }
    return {};
}

std::wstring TReportFile::Commit(const std::string& bytes)
{
    if (!File_)
        return L"the report file was not prepared";
    DWORD written = 0;
    if (!WriteFile(File_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(File_.Get())) {
        const DWORD error = GetLastError();
        Discard();
        return Path_ + L" cannot be written: " + ErrorText(error);
    }
    File_.Reset();
    if (!MoveFileExW(Temporary_.c_str(), Path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard();
        return Path_ + L" cannot be replaced: " + ErrorText(error);
    }
    Temporary_.clear();
    return {};
}
