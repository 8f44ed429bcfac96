#pragma once
// The privacy categories: one table that the scan driver runs and the details window shows as its
// check tree, so that a position of the selection string and its tree node cannot drift apart.
#include "privacy/CategoryContext.h"

#include <array>
#include <string>

// The tree's group nodes, in tree order; a group may sit inside another one. The tree shows a group's
// caption from line <its index> of language section "M_Tree"; Caption is the English text, which
// the reports use.
struct TCategoryGroup {
    const wchar_t* Caption;
    int Parent; // index into kPrivacyGroups, -1 at the top
};

struct TPrivacyCategory {
    int Position; // 1-based place in the selection string
    const wchar_t* Caption;   // English, for the reports
    int Text;                 // the line of language section "M_Tree" that the tree shows
    int Group;                // index into kPrivacyGroups
    TCategoryHandler Handler;
    const wchar_t* Key;
    bool TickedByDefault = true;
};

inline constexpr size_t kPrivacyGroupCount = 16;
inline constexpr size_t kPrivacyCategoryCount = 80;
// The positions that older versions stored; a selection that stops short of one of them leaves it
// unticked, while later positions beyond a stored selection take their defaults.
inline constexpr int kClassicPositions = 32;
// Section "M_Tree": the groups' captions (lines 0-15), then each category caption once (categories of
// the same name share a line) up to this line.
inline constexpr int kLastTreeText = 48;

extern const std::array<TCategoryGroup, kPrivacyGroupCount> kPrivacyGroups;
// In position order, which is also the order of the tree's leaves.
extern const std::array<TPrivacyCategory, kPrivacyCategoryCount> kPrivacyCategories;

// The category at this position as the tree shows it: its groups and its caption ("Other Applications /
// Internet / ..."); empty for a position that names none.
std::wstring CategoryPathName(int position);

// One "0" or "1" per position: what is ticked when Main.ini holds no selection.
std::wstring DefaultPrivacySelection();
// The stored selection completed to every position: positions up to the classic 32 that it lacks stay
// unticked; later ones it lacks take their defaults (so an older, shorter selection keeps its meaning).
std::wstring CompletedPrivacySelection(const std::wstring& stored);
