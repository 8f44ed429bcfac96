#include "common/KeyLocation.h"

#include "common/Registry.h"
#include "common/TextCompare.h"

#include <algorithm>
#include <vector>

namespace {

// HKEY_CLASSES_ROOT last: its keys are named after the hive that holds them wherever it is a view of
// another root.
const HKEY kRootKeys[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CLASSES_ROOT};

// Where the system itself keeps registry links. A key named through one of them is the key it leads
// to; every other link is someone's choice that no deletion may follow.
struct TSystemLink {
    HKEY Root;
    const wchar_t* Path;
};
const TSystemLink kSystemLinks[] = {
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Classes"},
    {HKEY_CURRENT_USER, L"Software\\Classes"},
    {HKEY_CURRENT_USER, L"Software\\Wow6432Node\\Classes"},
};

bool StartsWithFolder(const std::wstring& name, const std::wstring& base)
{
    return !base.empty() && name.size() > base.size() + 1 && name[base.size()] == L'\\' && StartsWithText(name, base);
}

} // namespace

std::vector<std::wstring> KeySteps(const std::wstring& path)
{
    std::vector<std::wstring> steps;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start)
            steps.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return steps;
}

std::wstring JoinedKeySteps(const std::vector<std::wstring>& steps, size_t count)
{
    std::wstring path;
    for (size_t i = 0; i < count && i < steps.size(); ++i)
        path += (i == 0 ? L"" : L"\\") + steps[i];
    return path;
}

std::wstring TKeyLocation::Display() const
{
    if (!Root)
        return {};
    return RootName(Root) + (Path.empty() ? L"" : L"\\" + Path);
}

const std::wstring& TKeyLocator::RootName(int index) const
{
    if (Names_[index].empty())
        Names_[index] = RootKernelName(kRootKeys[index]);
    return Names_[index];
}

int TKeyLocator::RootIndex(HKEY root) const
{
    for (int i = 0; i < kRoots; ++i)
        if (kRootKeys[i] == root)
            return i;
    return -1;
}

TKeyLocation TKeyLocator::Locate(HKEY root, const std::wstring& path, REGSAM view, HKEY opened) const
{
    const std::wstring relative = JoinedKeySteps(KeySteps(path));
    TRegKey key;
    if (!opened) {
        if (key.Open(root, relative, KEY_QUERY_VALUE | view) != ERROR_SUCCESS)
            return {};
        opened = key.Handle();
    }
    const std::wstring name = KeyKernelName(opened);
    if (name.empty())
        return {};
    // Named exactly as written below its root: no link and no redirection lies on the way.
    const int index = RootIndex(root);
    if (index >= 0 && !RootName(index).empty() && !relative.empty() &&
        SameText(name, RootName(index) + L"\\" + relative))
        return FromKernelName(name);
    return WalkSteps(root, relative, view);
}

TKeyLocation TKeyLocator::WalkSteps(HKEY root, const std::wstring& path, REGSAM view) const
{
    std::vector<std::wstring> steps = KeySteps(path);
    // The classes root's 32-bit keys are its Wow6432Node; a view flag on it would leave a redirection.
    if (root == HKEY_CLASSES_ROOT) {
        if (view & KEY_WOW64_32KEY)
            steps.insert(steps.begin(), L"Wow6432Node");
        view = 0;
    }
    if (steps.empty())
        return {root, L""};
    constexpr REGSAM access = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
    TRegKey current;
    for (size_t i = 0; i < steps.size(); ++i) {
        const HKEY parent = current.IsOpen() ? current.Handle() : root;
        TRegKey next;
        if (next.Open(parent, steps[i], access | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS)
            return {};
        if (IsLinkKey(next.Handle())) {
            TKeyLocation link = FromKernelName(next.KernelName());
            if (!link.Found())
                return {};
            if (!IsSystemLink(link)) {
                // Located at the link itself: the gate refuses to delete through it.
                const std::vector<std::wstring> rest(steps.begin() + static_cast<std::ptrdiff_t>(i) + 1, steps.end());
                if (!rest.empty())
                    link.Path += L"\\" + JoinedKeySteps(rest);
                link.CrossesLink = true;
                return link;
            }
            if (next.Open(parent, steps[i], access | view) != ERROR_SUCCESS)
                return {};
        }
        current = std::move(next);
    }
    return FromKernelName(current.KernelName());
}

bool TKeyLocator::IsSystemLink(const TKeyLocation& link) const
{
    for (const TSystemLink& known : kSystemLinks)
        if (known.Root == link.Root && SameText(known.Path, link.Path))
            return true;
    return false;
}

TKeyLocation TKeyLocator::FromKernelName(const std::wstring& name) const
{
    if (name.empty())
        return {};
    int best = -1;
    for (int i = 0; i < kRoots - 1; ++i)
        if (StartsWithFolder(name, RootName(i)) && (best < 0 || RootName(i).size() > RootName(best).size()))
            best = i;
    if (best < 0 && StartsWithFolder(name, RootName(kRoots - 1)))
        best = kRoots - 1;
    if (best < 0)
        return {};
    return {kRootKeys[best], name.substr(RootName(best).size() + 1)};
}
