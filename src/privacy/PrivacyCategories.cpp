#include "privacy/PrivacyCategories.h"

#include "privacy/ApplicationTraces.h"
#include "privacy/BrowserTraces.h"
#include "privacy/WindowsTraces.h"

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
}};

const std::array<TPrivacyCategory, kPrivacyCategoryCount> kPrivacyCategories = {{
    {1, L"Typed Urls", kInternetExplorer, ScanInternetExplorer, L"IEUrl"},
    {2, L"Cookie Files", kInternetExplorer, ScanInternetExplorer, L"Cookies"},
    {3, L"History", kInternetExplorer, ScanInternetExplorer, L"History"},
    {4, L"Auto-Fill Form History", kInternetExplorer, ScanInternetExplorer, L"AutoFormHistory"},
    {5, L"Auto-Fill Password History", kInternetExplorer, ScanInternetExplorer, L"AutoPassHistory"},
    {6, L"Cookie Files", kFirefox, ScanFirefox, L"Cookie"},
    {7, L"Download History", kFirefox, ScanFirefox, L"Download History"},
    {8, L"History", kFirefox, ScanFirefox, L"History"},
    {9, L"Saved Form info", kFirefox, ScanFirefox, L"Saved Form"},
    {10, L"Internet Cache", kFirefox, ScanFirefox, L"Cache"},
    {11, L"Cookie Files", kOpera, ScanOpera, L"Cookie"},
    {12, L"History", kOpera, ScanOpera, L"History"},
    {13, L"Internet Cache", kOpera, ScanOpera, L"Cache"},
    {14, L"Recent Document", kWindows, ScanWindows, L"Recent"},
    {15, L"\"Start Memu\" Run History", kWindows, ScanWindows, L"StartMenu"},
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
}};
