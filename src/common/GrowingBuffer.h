#pragma once
// Calls a "fill this buffer" API until the answer fits: call(buffer, size) returns the answer's length,
// or the size it needs when the buffer was too small (or the buffer's size, for calls that cut the
// answer, such as GetModuleFileNameW), or 0 on failure.
#include <windows.h>

#include <string>

template <typename Call>
std::wstring AskWithGrowingBuffer(Call call)
{
    std::wstring buffer(MAX_PATH, L'\0');
    // Doubling reaches the longest path the system allows (32,767 characters) in eight rounds.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1 > buffer.size() * 2 ? length + 1 : buffer.size() * 2);
    }
    return {};
}
