#include "quarantine/QuarantineSettings.h"

#include "common/IniFile.h"

int ReadQuarantineDays(const std::wstring& iniFile)
{
    const int days = TIniFile(iniFile).ReadInteger(kQuarantineSection, kQuarantineDaysKey, kDefaultQuarantineDays);
    if (days < 0)
        return 0;
    return days > kMaxQuarantineDays ? kMaxQuarantineDays : days;
}
