#include "OptionsFixture.h"

#include "common/FormatText.h"

#include <fstream>
#include <iterator>

std::wstring Opt(int line)
{
    return Lng(kOptionSection, line);
}

std::wstring ResultText(int count)
{
    if (count == 0)
        return Lng(L"Message", 0);
    return FormatText(Lng(L"Message", count == 1 ? 1 : 2), std::vector<TFormatArg>{int64_t(count)});
}

void OptionsFixture::Start()
{
    StartProgram();
    Details->FindingsMenu().Launch = [this](const std::wstring& program, const std::wstring& parameters) {
        Launched.emplace_back(program, parameters);
        return true;
    };
    Details->TempMemo.Launch = Details->FindingsMenu().Launch;
}

TWideStrings OptionsFixture::Section(const std::wstring& file, const std::wstring& section)
{
    std::wstring buffer(1 << 16, L'\0');
    const DWORD length = GetPrivateProfileSectionW(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   file.c_str());
    TWideStrings lines;
    for (size_t at = 0; at < length;) {
        const size_t end = buffer.find(L'\0', at);
        lines.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::string OptionsFixture::Bytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void OptionsFixture::Select(TListView& list, const std::vector<int>& rows)
{
    for (int row = 0; row < list.Count(); ++row)
        list.SetSelected(row, false);
    for (int row : rows)
        list.SetSelected(row, true);
    if (!rows.empty())
        list.SetFocused(rows.front());
}

void OptionsFixture::ShowRegistryRows(const std::vector<std::vector<std::wstring>>& keyValueData)
{
    TListView& list = Details->RegListView;
    list.Clear();
    for (const auto& row : keyValueData)
        list.AddItem(Lng(L"M_RegistryScan", 1), row, 4, true);
    Form->Run.ProblemCounts[1] = list.Count();
    Form->ShowResult(list.Count(), Form->LP2, 0);
}

std::wstring OptionsFixture::LastMessage() const
{
    return Messages.empty() ? std::wstring() : Messages.back().Text;
}
