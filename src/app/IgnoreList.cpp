#include "app/IgnoreList.h"

#include "app/OptionTexts.h"
#include "common/IniFile.h"
#include "ui/ListView.h"

const TIgnoreSection kIgnoreSections[3] = {
    {L"Spyware", OptionText::SpywareSection},
    {L"Registry", OptionText::RegistrySection},
    {L"Cookie", OptionText::CookieSection},
};

TIgnoreFields SplitIgnoreLine(const TIgnoreFormat& format, const std::wstring& line)
{
    if (!format.NameEndsAtLastEquals)
        return {LineName(line), LineValue(line)};
    const size_t last = line.rfind(L'=');
    if (last == std::wstring::npos)
        return {L"", line};
    return {line.substr(0, last), line.substr(last + 1)};
}

TIgnoreFields RowFields(const TIgnoreFormat& format, const TListView& list, int row)
{
    return {list.SubItem(row, format.NameColumn), list.SubItem(row, format.ValueColumn)};
}

bool CanIgnore(const TIgnoreFormat& format, const TIgnoreFields& fields)
{
    const std::wstring line = IgnoreLine(fields);
    return LineSurvivesIni(line) && SplitIgnoreLine(format, line) == fields;
}
