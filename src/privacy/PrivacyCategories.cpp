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
    {1, L"Typed Urls", kInternetExplorer, ScanInternetExplorer, L"IEUrl"},
    {2, L"Cookie Files", kInternetExplorer, ScanInternetExplorer, L"Cookies", false},
    {3, L"History", kInternetExplorer, ScanInternetExplorer, L"History"},
    {4, L"Auto-Fill Form History", kInternetExplorer, ScanInternetExplorer, L"AutoFormHistory", false},
    {5, L"Auto-Fill Password History", kInternetExplorer, ScanInternetExplorer, L"AutoPassHistory", false},
    {6, L"Cookie Files", kFirefox, ScanFirefox, L"Cookie", false},
    {7, L"Download History", kFirefox, ScanFirefox, L"Download History"},
    {8, L"History", kFirefox, ScanFirefox, L"History"},
    {9, L"Saved Form info", kFirefox, ScanFirefox, L"Saved Form", false},
    {10, L"Internet Cache", kFirefox, ScanFirefox, L"Cache"},
    {11, L"Cookie Files", kOpera, ScanOpera, L"Cookie", false},
    {12, L"History", kOpera, ScanOpera, L"History"},
    {13, L"Internet Cache", kOpera, ScanOpera, L"Cache"},
    {14, L"Recent Document", kWindows, ScanWindows, L"Recent"},
    {15, L"\"Start Menu\" Run History", kWindows, ScanWindows, L"StartMenu"},
    {16, L"MS Office(97/XP/2003/2007)", kApplication, ScanApplication, L"office"},
    {17, L"Visual Basic", kApplication, ScanApplication, L"vb"},
    {18, L"Borland Delphi", kApplication, ScanApplication, L"delphi"},
    {19, L"Acrobat Reader(5.0/6.0/7.0/8.0)", kApplication, ScanApplication, L"reader"},
    {20, L"Photoshop(6.0/7.0/CS2)", kApplication, ScanApplication, L"photoshop"},
    {21, L"Macromedia Flash(5/6/7/8)", kApplication, ScanApplication, L"flash"},
    {22, L"Windows Media Player", kMultimedia, ScanApplication, L"media"},
    {23, L"RealPlayer(6.0/8.0/10.0/RealOne)", kMultimedia, ScanApplication, L"real"},
    {24, L"Quicktime", kMultimedia, ScanApplication, L"quicktime"},
    {25, L"GetRight", kInternet, ScanApplication, L"getright"},
    {26, L"Download Accelerator Plus", kInternet, ScanApplication, L"plus"},
    {27, L"Morpheus", kInternet, ScanApplication, L"morpheus"},
    {28, L"Sun Java", kInternet, ScanApplication, L"sun"},
    {29, L"Google Toolbar 4.0", kInternet, ScanApplication, L"google"},
    {30, L"WinRar", kUtilities, ScanApplication, L"winrar"},
    {31, L"WinZip", kUtilities, ScanApplication, L"winzip"},
    {32, L"7-Zip", kUtilities, ScanApplication, L"7zip"},
    {33, L"History", kChrome, ScanChromium, L"chrome.history"},
    {34, L"Download History", kChrome, ScanChromium, L"chrome.downloads"},
    {35, L"Cookies", kChrome, ScanChromium, L"chrome.cookies"},
    {36, L"Cache", kChrome, ScanChromium, L"chrome.cache"},
    {37, L"Sessions", kChrome, ScanChromium, L"chrome.sessions"},
    {38, L"Form Data", kChrome, ScanChromium, L"chrome.formdata"},
    {39, L"Saved Passwords (they will be lost)", kChrome, ScanChromium, L"chrome.passwords", false},
    {40, L"History", kEdge, ScanChromium, L"edge.history"},
    {41, L"Download History", kEdge, ScanChromium, L"edge.downloads"},
    {42, L"Cookies", kEdge, ScanChromium, L"edge.cookies"},
    {43, L"Cache", kEdge, ScanChromium, L"edge.cache"},
    {44, L"Sessions", kEdge, ScanChromium, L"edge.sessions"},
    {45, L"Form Data", kEdge, ScanChromium, L"edge.formdata"},
    {46, L"Saved Passwords (they will be lost)", kEdge, ScanChromium, L"edge.passwords", false},
    {47, L"History", kBrave, ScanChromium, L"brave.history"},
    {48, L"Download History", kBrave, ScanChromium, L"brave.downloads"},
    {49, L"Cookies", kBrave, ScanChromium, L"brave.cookies"},
    {50, L"Cache", kBrave, ScanChromium, L"brave.cache"},
    {51, L"Sessions", kBrave, ScanChromium, L"brave.sessions"},
    {52, L"Form Data", kBrave, ScanChromium, L"brave.formdata"},
    {53, L"Saved Passwords (they will be lost)", kBrave, ScanChromium, L"brave.passwords", false},
    {54, L"History", kVivaldi, ScanChromium, L"vivaldi.history"},
    {55, L"Download History", kVivaldi, ScanChromium, L"vivaldi.downloads"},
    {56, L"Cookies", kVivaldi, ScanChromium, L"vivaldi.cookies"},
    {57, L"Cache", kVivaldi, ScanChromium, L"vivaldi.cache"},
    {58, L"Sessions", kVivaldi, ScanChromium, L"vivaldi.sessions"},
    {59, L"Form Data", kVivaldi, ScanChromium, L"vivaldi.formdata"},
    {60, L"Saved Passwords (they will be lost)", kVivaldi, ScanChromium, L"vivaldi.passwords", false},
    {61, L"History", kOperaToday, ScanChromium, L"opera.history"},
    {62, L"Download History", kOperaToday, ScanChromium, L"opera.downloads"},
    {63, L"Cookies", kOperaToday, ScanChromium, L"opera.cookies"},
    {64, L"Cache", kOperaToday, ScanChromium, L"opera.cache"},
    {65, L"Sessions", kOperaToday, ScanChromium, L"opera.sessions"},
    {66, L"Form Data", kOperaToday, ScanChromium, L"opera.formdata"},
    {67, L"Saved Passwords (they will be lost)", kOperaToday, ScanChromium, L"opera.passwords", false},
    {68, L"History", kOperaGx, ScanChromium, L"operagx.history"},
    {69, L"Download History", kOperaGx, ScanChromium, L"operagx.downloads"},
    {70, L"Cookies", kOperaGx, ScanChromium, L"operagx.cookies"},
    {71, L"Cache", kOperaGx, ScanChromium, L"operagx.cache"},
    {72, L"Sessions", kOperaGx, ScanChromium, L"operagx.sessions"},
    {73, L"Form Data", kOperaGx, ScanChromium, L"operagx.formdata"},
    {74, L"Saved Passwords (they will be lost)", kOperaGx, ScanChromium, L"operagx.passwords", false},
    {75, L"History", kFirefoxToday, ScanTodaysFirefox, L"firefox.history"},
    {76, L"Cookies", kFirefoxToday, ScanTodaysFirefox, L"firefox.cookies"},
    {77, L"Form History", kFirefoxToday, ScanTodaysFirefox, L"firefox.formhistory"},
    {78, L"Sessions", kFirefoxToday, ScanTodaysFirefox, L"firefox.sessions"},
    {79, L"Cache", kFirefoxToday, ScanTodaysFirefox, L"firefox.cache"},
    {80, L"Saved Passwords (they will be lost)", kFirefoxToday, ScanTodaysFirefox, L"firefox.passwords", false},
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
