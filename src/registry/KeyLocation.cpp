#include "registry/KeyLocation.h"

#include "common/Registry.h"

namespace {

std::wstring RootKernelName(HKEY root)
{
    TRegKey key;
    return key.Open(root, L"", KEY_QUERY_VALUE) == ERROR_SUCCESS ? key.KernelName() : std::wstring();
}

bool StartsWithFolder(const std::wstring& name, const std::wstring& base)
{
    return !base.empty() && name.size() > base.size() + 1 && name[base.size()] == L'\\' &&
           CompareStringOrdinal(name.c_str(), static_cast<int>(base.size()), base.c_str(),
                                static_cast<int>(base.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

TKeyLocator::TKeyLocator()
    // HKEY_CLASSES_ROOT last: its keys are named after the hive that holds them wherever it is a view
    // of another root.
    : Roots_{{HKEY_CURRENT_USER, RootKernelName(HKEY_CURRENT_USER)},
             {HKEY_LOCAL_MACHINE, RootKernelName(HKEY_LOCAL_MACHINE)},
             {HKEY_USERS, RootKernelName(HKEY_USERS)},
             {HKEY_CLASSES_ROOT, RootKernelName(HKEY_CLASSES_ROOT)}}
{
}

TKeyLocation TKeyLocator::Locate(HKEY root, const std::wstring& path, REGSAM view) const
{
    TRegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS)
        return {};
    const std::wstring name = key.KernelName();
    if (name.empty())
        return {};
    // The most specific of the three hives (the current user's lies below HKEY_USERS); the classes
    // root only where none of them holds the key.
    const TRootName* best = nullptr;
    for (int i = 0; i < 3; ++i)
        if (StartsWithFolder(name, Roots_[i].KernelName) &&
            (!best || Roots_[i].KernelName.size() > best->KernelName.size()))
            best = &Roots_[i];
    if (!best && StartsWithFolder(name, Roots_[3].KernelName))
        best = &Roots_[3];
    if (!best)
        return {};
    return {best->Root, name.substr(best->KernelName.size() + 1)};
}
