// Every language file shipped beside the program holds every text of the English file: the same
// sections, the same lines in each, and the same placeholders in each line.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::wstring LanguageFolder()
{
    wchar_t own[MAX_PATH];
    const std::wstring path(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Language\\";
}

// The double-zero-ended list that the profile functions return, split.
std::vector<std::wstring> Split(const std::vector<wchar_t>& buffer, DWORD length)
{
    std::vector<std::wstring> parts;
    for (DWORD at = 0; at < length && buffer[at];) {
        parts.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(parts.back().size()) + 1;
    }
    return parts;
}

using TSections = std::map<std::wstring, std::vector<std::pair<std::wstring, std::wstring>>>;

TSections ReadLanguage(const std::wstring& file)
{
    TSections sections;
    std::vector<wchar_t> buffer(1 << 16);
    const DWORD names = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    for (const std::wstring& name : Split(buffer, names)) {
        std::vector<wchar_t> lines(1 << 18);
        const DWORD length =
            GetPrivateProfileSectionW(name.c_str(), lines.data(), static_cast<DWORD>(lines.size()), file.c_str());
        auto& section = sections[name];
        for (const std::wstring& line : Split(lines, length)) {
            const size_t equals = line.find(L'=');
            if (equals != std::wstring::npos)
                section.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return sections;
}

// The placeholders of a text in order ("%d", "%s", ...).
std::wstring Placeholders(const std::wstring& text)
{
    std::wstring found;
    for (size_t at = text.find(L'%'); at != std::wstring::npos && at + 1 < text.size(); at = text.find(L'%', at + 2))
        found += text.substr(at, 2);
    return found;
}

} // namespace

TEST(LanguageFiles, EveryFileHoldsEveryEnglishText)
{
    const std::wstring folder = LanguageFolder();
    const TSections english = ReadLanguage(folder + L"English.lng");
    ASSERT_GE(english.size(), 9u);
    ASSERT_GE(english.at(L"Message").size(), 20u);
    // The windows' own captions.
    for (const wchar_t* section : {L"M_Main", L"M_Details", L"M_Tree"})
        EXPECT_EQ(english.count(section), 1u) << testing::PrintToString(std::wstring(section));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.lng").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int others = 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"English.lng")
            continue;
        ++others;
        SCOPED_TRACE(name);
        const TSections language = ReadLanguage(folder + name);
        for (const auto& [section, lines] : english) {
            SCOPED_TRACE(section);
            ASSERT_EQ(language.count(section), 1u);
            const auto& translated = language.at(section);
            ASSERT_EQ(translated.size(), lines.size());
            for (size_t i = 0; i < lines.size(); ++i) {
                EXPECT_EQ(translated[i].first, lines[i].first);
                EXPECT_FALSE(translated[i].second.empty()) << lines[i].first;
                EXPECT_EQ(Placeholders(translated[i].second), Placeholders(lines[i].second))
                    << lines[i].first << ": " << testing::PrintToString(translated[i].second);
            }
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_GE(others, 1) << "German at least";
}
