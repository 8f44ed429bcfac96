#include "quarantine/QuarantineSettings.h"

int ReadQuarantineDays(const TSettings& settings)
{
    return settings.Number(*FindSettingRule(kQuarantineSection, kQuarantineDaysKey));
}

int ReadQuarantineDays(const std::wstring& iniFile)
{
    return ReadQuarantineDays(TSettings(iniFile));
}
