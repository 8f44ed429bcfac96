#pragma once
// SHA-256 through the system's cryptography provider: the quarantine's proof that what it restores is
// what it took.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

class TSha256 {
public:
    TSha256();
    ~TSha256();
    TSha256(const TSha256&) = delete;
    TSha256& operator=(const TSha256&) = delete;

    // False when the provider could not be opened or a step failed; Finish then gives nothing.
    bool Valid() const { return Valid_; }
    void Add(const void* data, size_t size);
    // 64 lower-case hexadecimal digits; empty when not Valid. The hash cannot be added to afterwards.
    std::wstring Finish();

private:
    struct TState;
    std::unique_ptr<TState> State_;
    bool Valid_ = false;
};

// The SHA-256 of the whole file read through the handle from its start (the handle needs
// FILE_READ_DATA); empty when it cannot be read to its end.
std::wstring FileSha256(HANDLE file);
// The file's data read through the handle is written to target, and both hashed on the way: the
// SHA-256 of what was read. Empty when a read or a write failed or stopped short.
std::wstring CopyFileData(HANDLE source, HANDLE target);
