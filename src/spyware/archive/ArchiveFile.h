#pragma once
// The archive file opened for reading while others may only read: the only platform-specific part of
// the reader. On Windows a wide name opens paths that the 8-bit code page cannot spell.
#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

// A read or seek failure of the archive file (the reader turns it into its own message).
struct TReadError {};

bool ArchiveFileExists(const std::string& name);
#ifdef _WIN32
bool ArchiveFileExists(const std::wstring& name);
// The 8-bit form of a wide name, kept by the reader as the archive's name.
std::string ArchiveDisplayName(const std::wstring& name);
#endif

class TArchiveFile {
public:
    TArchiveFile() = default;
    ~TArchiveFile();
    TArchiveFile(const TArchiveFile&) = delete;
    TArchiveFile& operator=(const TArchiveFile&) = delete;

    bool Open(const std::string& name);
#ifdef _WIN32
    bool Open(const std::wstring& name);
#endif
    int64_t Size() const;
    bool Seek(int64_t position);
    // Bytes read (0 at the end of the file), or -1 on a read error.
    int64_t Read(void* buffer, size_t count);

private:
#ifdef _WIN32
    HANDLE Handle = INVALID_HANDLE_VALUE;
#else
    FILE* File = nullptr;
#endif
};

// Reads up to count bytes, fewer only at the end of the file; raises TReadError on a read error.
size_t ReadFully(TArchiveFile& file, void* buffer, size_t count);
