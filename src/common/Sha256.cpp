#include "common/Sha256.h"

#include <bcrypt.h>

#include <vector>

namespace {

constexpr DWORD kChunk = 1u << 20;

bool Succeeded(NTSTATUS status) { return status >= 0; }

} // namespace

struct TSha256::TState {
    BCRYPT_ALG_HANDLE Algorithm = nullptr;
    BCRYPT_HASH_HANDLE Hash = nullptr;
    ~TState()
    {
        if (Hash)
            BCryptDestroyHash(Hash);
        if (Algorithm)
            BCryptCloseAlgorithmProvider(Algorithm, 0);
    }
};

TSha256::TSha256() : State_(std::make_unique<TState>())
{
    Valid_ = Succeeded(BCryptOpenAlgorithmProvider(&State_->Algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
             Succeeded(BCryptCreateHash(State_->Algorithm, &State_->Hash, nullptr, 0, nullptr, 0, 0));
}

TSha256::~TSha256() = default;

void TSha256::Add(const void* data, size_t size)
{
    const auto* bytes = static_cast<const UCHAR*>(data);
    while (Valid_ && size > 0) {
        const ULONG part = size > kChunk ? kChunk : static_cast<ULONG>(size);
        Valid_ = Succeeded(BCryptHashData(State_->Hash, const_cast<UCHAR*>(bytes), part, 0));
        bytes += part;
        size -= part;
    }
}

std::wstring TSha256::Finish()
{
    UCHAR digest[32];
    if (!Valid_ || !Succeeded(BCryptFinishHash(State_->Hash, digest, sizeof digest, 0))) {
        Valid_ = false;
        return {};
    }
    Valid_ = false;
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (UCHAR byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

namespace {

// Reads the file from its start through the handle, handing each piece to use; false when a read fails
// or use refuses a piece.
template <typename Use>
bool ReadWhole(HANDLE file, Use use)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    std::vector<BYTE> buffer(kChunk);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), kChunk, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (!use(buffer.data(), read))
            return false;
    }
}

} // namespace

std::wstring FileSha256(HANDLE file)
{
    TSha256 hash;
    const bool read = ReadWhole(file, [&](const BYTE* data, DWORD size) {
        hash.Add(data, size);
        return hash.Valid();
    });
    return read ? hash.Finish() : std::wstring();
}

std::wstring CopyFileData(HANDLE source, HANDLE target)
{
    TSha256 hash;
    const bool copied = ReadWhole(source, [&](const BYTE* data, DWORD size) {
        hash.Add(data, size);
        DWORD written = 0;
        return hash.Valid() && WriteFile(target, data, size, &written, nullptr) && written == size;
    });
    return copied && FlushFileBuffers(target) ? hash.Finish() : std::wstring();
}
