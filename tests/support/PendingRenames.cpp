#include "support/PendingRenames.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kValue[] = L"PendingFileRenameOperations";

bool ReadRaw(HKEY key, DWORD& type, std::vector<BYTE>& data)
{
    DWORD size = 0;
    if (RegQueryValueExW(key, kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    if (RegQueryValueExW(key, kValue, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

} // namespace

PendingRenames::PendingRenames()
{
    const LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &Key_);
    EXPECT_EQ(ERROR_SUCCESS, status) << "opening the real Session Manager key";
    if (Key_)
        Existed_ = ReadRaw(Key_, Type_, Saved_);
}

PendingRenames::~PendingRenames()
{
    if (!Key_)
        return;
    if (Existed_)
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(Key_, kValue, 0, Type_, Saved_.data(), static_cast<DWORD>(Saved_.size())));
    else
        RegDeleteValueW(Key_, kValue);
    RegCloseKey(Key_);
}

std::vector<std::wstring> PendingRenames::Entries() const
{
    std::vector<std::wstring> entries;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!Key_ || !ReadRaw(Key_, type, data))
        return entries;
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    const size_t count = data.size() / sizeof(wchar_t);
    // Source and target alternate; an empty target means "delete". The list ends with an extra null.
    size_t at = 0;
    while (at < count) {
        size_t end = at;
        while (end < count && text[end] != L'\0')
            ++end;
        entries.emplace_back(text + at, end - at);
        at = end + 1;
    }
    while (!entries.empty() && entries.back().empty() && entries.size() % 2 == 1)
        entries.pop_back();
    return entries;
}

bool PendingRenames::AsksToDelete(const std::wstring& path) const
{
    const std::vector<std::wstring> entries = Entries();
    for (size_t i = 0; i + 1 < entries.size(); i += 2)
        if (entries[i] == L"\\??\\" + path && entries[i + 1].empty())
            return true;
    return false;
}
