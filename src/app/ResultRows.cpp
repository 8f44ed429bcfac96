#include "app/ResultRows.h"

#include "ui/Pictures.h"

const std::array<TResultRow, kRowCount> kResultRows = {{
    {L"Spyware Removal", L"Scan and remove Spyware, Adware.", kPicRowSpyware, 90, 0, false},
    {L"Registry Fix", L"Cleanup registry to improve PC performance.", kPicRowRegistry, 138, 1, false},
    {L"Privacy Sweep", L"Erase your activity history and surfing traces.", kPicRowPrivacy, 186, 2, true},
    {L"Junk Files Clean", L"Clean up junk files and recover disk space.", kPicRowJunk, 234, 3, true},
}};
