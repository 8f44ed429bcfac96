#include "registry/KeyLocation.h"

#include "common/Registry.h"
#include "common/TextCompare.h"

namespace {

// HKEY_CLASSES_ROOT last: its keys are named after the hive that holds them wherever it is a view of
// another root.
const HKEY kRootKeys[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CLASSES_ROOT};

bool StartsWithFolder(const std::wstring& name, const std::wstring& base)
{
    return !base.empty() && name.size() > base.size() + 1 && name[base.size()] == L'\\' && StartsWithText(name, base);
}

} // namespace

const std::wstring& TKeyLocator::RootName(int index) const
{
    if (Names_[index].empty())
        Names_[index] = RootKernelName(kRootKeys[index]);
    return Names_[index];
}

TKeyLocation TKeyLocator::Locate(HKEY root, const std::wstring& path, REGSAM view) const
{
    TRegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS)
        return {};
    return Locate(key.Handle());
}

TKeyLocation TKeyLocator::Locate(HKEY opened) const
{
    const std::wstring name = KeyKernelName(opened);
    if (name.empty())
        return {};
    // The most specific of the three hives (the current user's lies below HKEY_USERS); the classes
    // root only where none of them holds the key.
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
