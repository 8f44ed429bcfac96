#include "spyware/archive/ArchiveFile.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#ifdef _WIN32
namespace {

bool IsFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

} // namespace

bool ArchiveFileExists(const std::string& name) { return IsFile(GetFileAttributesA(name.c_str())); }
bool ArchiveFileExists(const std::wstring& name) { return IsFile(GetFileAttributesW(name.c_str())); }

std::string ArchiveDisplayName(const std::wstring& name)
{
    // The reader stands alone (it also builds for the build machine), so it converts its one name here.
    const int size = static_cast<int>(name.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_ACP, 0, name.data(), size, text.data(), needed, nullptr, nullptr);
    return text;
}

TArchiveFile::~TArchiveFile()
{
    if (Handle != INVALID_HANDLE_VALUE)
        CloseHandle(Handle);
}

bool TArchiveFile::Open(const std::string& name)
{
    Handle = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, kOpenFlags, nullptr);
    return Handle != INVALID_HANDLE_VALUE;
}

bool TArchiveFile::Open(const std::wstring& name)
{
    Handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, kOpenFlags, nullptr);
    return Handle != INVALID_HANDLE_VALUE;
}

int64_t TArchiveFile::Size() const
{
    LARGE_INTEGER size;
    return GetFileSizeEx(Handle, &size) ? size.QuadPart : -1;
}

bool TArchiveFile::Seek(int64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = position;
    return SetFilePointerEx(Handle, distance, nullptr, FILE_BEGIN) != 0;
}

int64_t TArchiveFile::Read(void* buffer, size_t count)
{
    DWORD done = 0;
    if (!ReadFile(Handle, buffer, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return done;
}
#else
bool ArchiveFileExists(const std::string& name)
{
    struct stat info;
    return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TArchiveFile::~TArchiveFile()
{
    if (File)
        std::fclose(File);
}

bool TArchiveFile::Open(const std::string& name)
{
    File = std::fopen(name.c_str(), "rb");
    return File != nullptr;
}

int64_t TArchiveFile::Size() const
{
    struct stat info;
    return fstat(fileno(File), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

bool TArchiveFile::Seek(int64_t position) { return fseeko(File, static_cast<off_t>(position), SEEK_SET) == 0; }

int64_t TArchiveFile::Read(void* buffer, size_t count)
{
    const size_t done = std::fread(buffer, 1, count, File);
    return done < count && std::ferror(File) ? -1 : static_cast<int64_t>(done);
}
#endif

size_t ReadFully(TArchiveFile& file, void* buffer, size_t count)
{
    auto out = static_cast<unsigned char*>(buffer);
    size_t total = 0;
    while (total < count) {
        const int64_t done = file.Read(out + total, count - total);
        if (done < 0)
            throw TReadError{};
        if (done == 0)
            break;
        total += static_cast<size_t>(done);
    }
    return total;
}
