#include "app/ResultRows.h"

#include "ui/Pictures.h"

const std::array<TResultRow, kRowCount> kResultRows = {{
    {L"Spyware Removal", kPicRowSpyware, 90, 0, false},
    {L"Registry Fix", kPicRowRegistry, 138, 1, false},
    {L"Privacy Sweep", kPicRowPrivacy, 186, 2, true},
    {L"Junk Files Clean", kPicRowJunk, 234, 3, true},
}};
