#include "privacy/PrivacyTexts.h"

#include <array>

namespace {

// What the shipped English file says, for a short list.
const std::array<const wchar_t*, kLastPrivacyText + 1> kEnglish = {
    L"Privacy traces found on your computer",
    L"Items found: %s",
    L"Space used: %s",
    L"Every item listed below will be erased by Repair.",
    L"Items:",
    L"Files in use will be deleted when Windows restarts.",
    L"[pending restart]",
    L"History: %s pages, %s visits",
    L"History: %s visits (the pages and their icons stay: the Bookmarks file cannot be read)",
    L"History: icons of %s pages",
    L"History: %s entries",
    L"Download history: %s downloads (the downloaded files stay)",
    L"Cookies: %s cookies",
    L"Cookies: %s cookies (%s kept)",
    L"Form data: %s entries",
    L"Saved passwords: %s passwords",
    L"in use: cleaned once %s is closed",
    L"cannot be read and stays as it is: %s",
    L"Cookie keep-list: \"%s\" keeps nothing; write a host name such as example.com",
    L",",
    L"History",
    L"Download history",
    L"Cookies",
    L"Form data",
    L"Saved passwords",
    L"Form history: %s entries",
    L"Form history",
    L"Skipped %s: a drive or network share root is never cleaned.",
    L"Skipped %s: it holds the protected folder %s.",
    L"Skipped %s: it lies inside the protected folder %s.",
    L"Skipped %s: its path cannot be resolved to a plain full folder path.",
};

} // namespace

std::wstring GroupDigits(int64_t count, const std::wstring& separator)
{
    const bool negative = count < 0;
    std::wstring digits = std::to_wstring(negative ? -count : count);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, separator);
    return negative ? L"-" + digits : digits;
}

std::wstring PrivacyText(const TWideStrings& texts, TPrivacyText line)
{
    const auto at = static_cast<size_t>(line);
    return at < texts.size() ? texts[at] : kEnglish[at];
}
