#include "privacy/CookieKeepList.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    if (!lower.empty())
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TCookieKeepList::TCookieKeepList(const TWideStrings& names)
{
    for (const std::wstring& name : names) {
        Exact_.push_back(name);
        if (name.find_first_of(L"/@") != std::wstring::npos)
            continue;
        std::wstring host = Lower(name);
        if (!host.empty() && host.front() == L'.')
            host.erase(0, 1);
        const bool usable = host.find(L'.') != std::wstring::npos && host.find_first_of(L"*?") == std::wstring::npos &&
                            host.find_first_of(L" \t") == std::wstring::npos && host.back() != L'.';
        if (usable)
            Hosts_.push_back(host);
        else
            Ignored_.push_back(name);
    }
}

bool TCookieKeepList::KeepsHost(std::wstring_view host) const
{
    const std::wstring lower = Lower(host);
    return std::any_of(Hosts_.begin(), Hosts_.end(), [&](const std::wstring& kept) {
        return lower == kept || lower == L"." + kept || EndsWith(lower, L"." + kept);
    });
}

bool TCookieKeepList::KeepsInternetExplorerCookie(const std::wstring& tail) const
{
    if (std::find(Exact_.begin(), Exact_.end(), tail) != Exact_.end())
        return true;
    return !Hosts_.empty() && KeepsHost(tail.substr(0, tail.find(L'/')));
}
