#include "privacy/PrivacyCategories.h"

#include "privacy/ApplicationTraces.h"
#include "privacy/BrowserTraces.h"
#include "privacy/ChromiumTraces.h"
#include "privacy/FirefoxTraces.h"
#include "privacy/WindowsTraces.h"

#include <algorithm>

namespace {

enum TGroup : int {
    kInternetExplorer,
    kFirefox,
    kOpera,
    kWindows,
    kOtherApplications,
    kApplication,
    kMultimedia,
    kInternet,
    kUtilities,
    kChrome,
    kEdge,
    kBrave,
    kVivaldi,
    kOperaToday,
    kOperaGx,
    kFirefoxToday,
};

} // namespace

const std::array<TCategoryGroup, kPrivacyGroupCount> kPrivacyGroups = {{
    {L"Internet Explorer", -1},
    {L"Mozilla Firefox", -1},
    {L"Opera", -1},
    {L"Windows", -1},
    {L"Other Applications", -1},
    {L"Application", kOtherApplications},
    {L"Multimedia", kOtherApplications},
    {L"Internet", kOtherApplications},
    {L"Utilities", kOtherApplications},
    {L"Google Chrome", -1},
    {L"Microsoft Edge", -1},
    {L"Brave", -1},
    {L"Vivaldi", -1},
    {L"Opera (version 15 and later)", -1},
    {L"Opera GX", -1},
    {L"Mozilla Firefox (today)", -1},
}};

const std::array<TPrivacyCategory, kPrivacyCategoryCount> kPrivacyCategories = {{
    {1, L"Typed Urls", 16, kInternetExplorer, ScanInternetExplorer, L"IEUrl"},
    {2, L"Cookie Files", 17, kInternetExplorer, ScanInternetExplorer, L"Cookies", false},
    {3, L"History", 18, kInternetExplorer, ScanInternetExplorer, L"History"},
    {4, L"Auto-Fill Form History", 19, kInternetExplorer, ScanInternetExplorer, L"AutoFormHistory", false},
    {5, L"Auto-Fill Password History", 20, kInternetExplorer, ScanInternetExplorer, L"AutoPassHistory", false},
    {6, L"Cookie Files", 17, kFirefox, ScanFirefox, L"Cookie", false},
    {7, L"Download History", 21, kFirefox, ScanFirefox, L"Download History"},
    {8, L"History", 18, kFirefox, ScanFirefox, L"History"},
    {9, L"Saved Form info", 22, kFirefox, ScanFirefox, L"Saved Form", false},
    {10, L"Internet Cache", 23, kFirefox, ScanFirefox, L"Cache"},
    {11, L"Cookie Files", 17, kOpera, ScanOpera, L"Cookie", false},
    {12, L"History", 18, kOpera, ScanOpera, L"History"},
    {13, L"Internet Cache", 23, kOpera, ScanOpera, L"Cache"},
    {14, L"Recent Document", 24, kWindows, ScanWindows, L"Recent"},
    {15, L"\"Start Menu\" Run History", 25, kWindows, ScanWindows, L"StartMenu"},
    {16, L"MS Office(97/XP/2003/2007)", 26, kApplication, ScanApplication, L"office"},
    {17, L"Visual Basic", 27, kApplication, ScanApplication, L"vb"},
    {18, L"Borland Delphi", 28, kApplication, ScanApplication, L"delphi"},
    {19, L"Acrobat Reader(5.0/6.0/7.0/8.0)", 29, kApplication, ScanApplication, L"reader"},
    {20, L"Photoshop(6.0/7.0/CS2)", 30, kApplication, ScanApplication, L"photoshop"},
    {21, L"Macromedia Flash(5/6/7/8)", 31, kApplication, ScanApplication, L"flash"},
    {22, L"Windows Media Player", 32, kMultimedia, ScanApplication, L"media"},
    {23, L"RealPlayer(6.0/8.0/10.0/RealOne)", 33, kMultimedia, ScanApplication, L"real"},
    {24, L"Quicktime", 34, kMultimedia, ScanApplication, L"quicktime"},
    {25, L"GetRight", 35, kInternet, ScanApplication, L"getright"},
    {26, L"Download Accelerator Plus", 36, kInternet, ScanApplication, L"plus"},
    {27, L"Morpheus", 37, kInternet, ScanApplication, L"morpheus"},
    {28, L"Sun Java", 38, kInternet, ScanApplication, L"sun"},
    {29, L"Google Toolbar 4.0", 39, kInternet, ScanApplication, L"google"},
    {30, L"WinRar", 40, kUtilities, ScanApplication, L"winrar"},
    {31, L"WinZip", 41, kUtilities, ScanApplication, L"winzip"},
    {32, L"7-Zip", 42, kUtilities, ScanApplication, L"7zip"},
    {33, L"History", 18, kChrome, ScanChromium, L"chrome.history"},
    {34, L"Download History", 21, kChrome, ScanChromium, L"chrome.downloads"},
    {35, L"Cookies", 43, kChrome, ScanChromium, L"chrome.cookies"},
    {36, L"Cache", 44, kChrome, ScanChromium, L"chrome.cache"},
    {37, L"Sessions", 45, kChrome, ScanChromium, L"chrome.sessions"},
    {38, L"Form Data", 46, kChrome, ScanChromium, L"chrome.formdata"},
    {39, L"Saved Passwords (they will be lost)", 47, kChrome, ScanChromium, L"chrome.passwords", false},
    {40, L"History", 18, kEdge, ScanChromium, L"edge.history"},
    {41, L"Download History", 21, kEdge, ScanChromium, L"edge.downloads"},
    {42, L"Cookies", 43, kEdge, ScanChromium, L"edge.cookies"},
    {43, L"Cache", 44, kEdge, ScanChromium, L"edge.cache"},
    {44, L"Sessions", 45, kEdge, ScanChromium, L"edge.sessions"},
    {45, L"Form Data", 46, kEdge, ScanChromium, L"edge.formdata"},
    {46, L"Saved Passwords (they will be lost)", 47, kEdge, ScanChromium, L"edge.passwords", false},
    {47, L"History", 18, kBrave, ScanChromium, L"brave.history"},
    {48, L"Download History", 21, kBrave, ScanChromium, L"brave.downloads"},
    {49, L"Cookies", 43, kBrave, ScanChromium, L"brave.cookies"},
    {50, L"Cache", 44, kBrave, ScanChromium, L"brave.cache"},
    {51, L"Sessions", 45, kBrave, ScanChromium, L"brave.sessions"},
    {52, L"Form Data", 46, kBrave, ScanChromium, L"brave.formdata"},
    {53, L"Saved Passwords (they will be lost)", 47, kBrave, ScanChromium, L"brave.passwords", false},
    {54, L"History", 18, kVivaldi, ScanChromium, L"vivaldi.history"},
    {55, L"Download History", 21, kVivaldi, ScanChromium, L"vivaldi.downloads"},
    {56, L"Cookies", 43, kVivaldi, ScanChromium, L"vivaldi.cookies"},
    {57, L"Cache", 44, kVivaldi, ScanChromium, L"vivaldi.cache"},
    {58, L"Sessions", 45, kVivaldi, ScanChromium, L"vivaldi.sessions"},
    {59, L"Form Data", 46, kVivaldi, ScanChromium, L"vivaldi.formdata"},
    {60, L"Saved Passwords (they will be lost)", 47, kVivaldi, ScanChromium, L"vivaldi.passwords", false},
    {61, L"History", 18, kOperaToday, ScanChromium, L"opera.history"},
    {62, L"Download History", 21, kOperaToday, ScanChromium, L"opera.downloads"},
    {63, L"Cookies", 43, kOperaToday, ScanChromium, L"opera.cookies"},
    {64, L"Cache", 44, kOperaToday, ScanChromium, L"opera.cache"},
    {65, L"Sessions", 45, kOperaToday, ScanChromium, L"opera.sessions"},
    {66, L"Form Data", 46, kOperaToday, ScanChromium, L"opera.formdata"},
    {67, L"Saved Passwords (they will be lost)", 47, kOperaToday, ScanChromium, L"opera.passwords", false},
    {68, L"History", 18, kOperaGx, ScanChromium, L"operagx.history"},
    {69, L"Download History", 21, kOperaGx, ScanChromium, L"operagx.downloads"},
    {70, L"Cookies", 43, kOperaGx, ScanChromium, L"operagx.cookies"},
    {71, L"Cache", 44, kOperaGx, ScanChromium, L"operagx.cache"},
    {72, L"Sessions", 45, kOperaGx, ScanChromium, L"operagx.sessions"},
    {73, L"Form Data", 46, kOperaGx, ScanChromium, L"operagx.formdata"},
    {74, L"Saved Passwords (they will be lost)", 47, kOperaGx, ScanChromium, L"operagx.passwords", false},
    {75, L"History", 18, kFirefoxToday, ScanTodaysFirefox, L"firefox.history"},
    {76, L"Cookies", 43, kFirefoxToday, ScanTodaysFirefox, L"firefox.cookies"},
    {77, L"Form History", 48, kFirefoxToday, ScanTodaysFirefox, L"firefox.formhistory"},
    {78, L"Sessions", 45, kFirefoxToday, ScanTodaysFirefox, L"firefox.sessions"},
    {79, L"Cache", 44, kFirefoxToday, ScanTodaysFirefox, L"firefox.cache"},
    {80, L"Saved Passwords (they will be lost)", 47, kFirefoxToday, ScanTodaysFirefox, L"firefox.passwords", false},
}};

std::wstring DefaultPrivacySelection()
{
    std::wstring selection;
    for (const TPrivacyCategory& category : kPrivacyCategories)
        selection += category.TickedByDefault ? L'1' : L'0';
    return selection;
}

std::wstring CompletedPrivacySelection(const std::wstring& stored)
{
    std::wstring selection = stored.substr(0, kPrivacyCategoryCount);
    const std::wstring defaults = DefaultPrivacySelection();
    while (selection.size() < kClassicPositions)
        selection += L'0';
    selection += defaults.substr(selection.size());
    return selection;
}

std::wstring CategoryPathName(int position)
{
    const auto found = std::find_if(kPrivacyCategories.begin(), kPrivacyCategories.end(),
                                    [&](const TPrivacyCategory& c) { return c.Position == position; });
    if (found == kPrivacyCategories.end())
        return {};
    const TPrivacyCategory& category = *found;
    std::wstring name = category.Caption;
    for (int group = category.Group; group >= 0; group = kPrivacyGroups[static_cast<size_t>(group)].Parent)
        name = std::wstring(kPrivacyGroups[static_cast<size_t>(group)].Caption) + L" / " + name;
    return name;
}
