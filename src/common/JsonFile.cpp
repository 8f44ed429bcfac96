#include "common/JsonFile.h"

#include "common/Handles.h"

#include <windows.h>

bool JsonDepthWithin(std::string_view text, size_t maxDepth)
{
    size_t depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

TJsonFile ParseJson(std::string_view text)
{
    TJsonFile result{TJsonStatus::Damaged, {}};
    if (!JsonDepthWithin(text))
        return result;
    // No exception leaves here: a parse error, an invalid UTF-8 sequence and the like are all "damaged".
    try {
        result.Value = nlohmann::json::parse(text.begin(), text.end());
        result.Status = TJsonStatus::Read;
    } catch (const std::exception&) {
        result.Value = nullptr;
    }
    return result;
}

TJsonFile ReadJsonFile(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? TJsonStatus::Missing : TJsonStatus::Damaged, {}};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxJsonFileSize)
        return {TJsonStatus::Damaged, {}};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()))
        return {TJsonStatus::Damaged, {}};
    return ParseJson(bytes);
}
