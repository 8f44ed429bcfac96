#include "registry/ClassesView.h"

#include "common/Registry.h"
#include "common/TextCompare.h"

namespace {

const wchar_t kTwinPrefix[] = L"Wow6432Node\\";

std::wstring KernelNameOf(const std::wstring& path)
{
    TRegKey key;
    return key.Open(HKEY_CLASSES_ROOT, path, KEY_QUERY_VALUE) == ERROR_SUCCESS ? key.KernelName() : std::wstring();
}

} // namespace

std::vector<TClassesView> ClassesViews(const std::wstring& key)
{
    std::vector<TClassesView> views{{L""}};
    const std::wstring twin = KernelNameOf(kTwinPrefix + key);
    // A twin that is the native key itself (a shared key, linked) is walked once.
    if (!twin.empty() && !SameText(twin, KernelNameOf(key)))
        views.push_back({kTwinPrefix});
    return views;
}

TFindingRecorder::TWhere ClassesWhere(const TClassesView& view)
{
    return {HKEY_CLASSES_ROOT, 0, L"HKEY_CLASSES_ROOT\\", view.ThirtyTwoBit()};
}

bool OpenClassesKey(TRegKey& key, const TClassesView& view, const std::wstring& path)
{
    if (view.ThirtyTwoBit())
        return key.Open(HKEY_CLASSES_ROOT, view.Prefix + path, KEY_READ) == ERROR_SUCCESS;
    return key.OpenOrCreate(HKEY_CLASSES_ROOT, path) == ERROR_SUCCESS;
}
