#pragma once
// The views of HKEY_CLASSES_ROOT that the COM class and type library checks walk. On 64-bit Windows
// 32-bit programs register below HKEY_CLASSES_ROOT\Wow6432Node; their entries name files as a 32-bit
// program sees them.
#include "registry/FindingRecorder.h"

#include <string>
#include <vector>

class TRegKey;

struct TClassesView {
    std::wstring Prefix; // "" for the native view, "Wow6432Node\" for the 32-bit one
    bool ThirtyTwoBit() const { return !Prefix.empty(); }
};

// The native view of HKEY_CLASSES_ROOT\key, then its 32-bit twin where that is a key of its own (on a
// system without a 32-bit side, or where the key is shared, there is none).
//
// The twin is reached by its path rather than by KEY_WOW64_32KEY: Wine answers a view flag on
// HKEY_CLASSES_ROOT from the real registry even where the root has been redirected.
std::vector<TClassesView> ClassesViews(const std::wstring& key);

// How the recorder is told where a finding of the view was read.
TFindingRecorder::TWhere ClassesWhere(const TClassesView& view);

// Opens HKEY_CLASSES_ROOT\<view prefix>key: the native key read-only, created (empty) only when it is
// missing; the 32-bit twin is never created.
bool OpenClassesKey(TRegKey& key, const TClassesView& view, const std::wstring& path);
