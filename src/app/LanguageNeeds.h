#pragma once
// The language sections that the program reads and the highest line that its readers use in each.
// A reader that starts using a further line raises its figure here: start-up checks every section
// against this table, and a translation that lacks lines at a section's end takes them from English.
#include "app/MessageTexts.h"
#include "app/OptionTexts.h"
#include "app/WindowTexts.h"
#include "common/MultiLan.h"
#include "privacy/PrivacyCategories.h"
#include "privacy/PrivacyTexts.h"
#include "registry/RegistryTexts.h"

#include <vector>

inline std::vector<TSectionNeed> LanguageNeeds()
{
    return {
        {kMessageSection, MessageText::Last}, // scan run: result lines, prefixes, items not removed
        {L"M_SpywareScan", 15},  // spyware scanner: risks 1-5, cookie 6, categories 8-14, repair 15
        {L"M_RegistryScan", RegText::Last}, // registry scanner: one line per kind of finding
        {L"M_PrivacyScan", kLastPrivacyText}, // privacy scanner: report 0-5, pending restart 6, browsers 7-26,
                                              // skipped folders 27-30
        {L"M_Temp", 18},         // junk files: report 0-3, library missing 4, skipped folders 5-8,
                                 // switches of today's Windows 9-13, their size and rights lines 14-16,
                                 // a switch's folder led elsewhere 17, a switch's one file 18
        {kOptionSection, OptionText::Last}, // findings menu, option messages and dialogs
        {kMainWindowSection, MainText::Last}, // main window: links, row descriptions, buttons and their tips
        {kDetailsSection, DetailsText::Last}, // details window: title, page headers, list columns
        {kTreeSection, kLastTreeText},        // details window: privacy tree groups and categories
    };
}
