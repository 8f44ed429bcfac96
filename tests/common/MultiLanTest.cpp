#include "app/LanguageNeeds.h"
#include "common/Exception.h"
#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/FormatText.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>


class MultiLanTest : public testing::Test {
protected:
    void Write(const std::wstring& relative, const std::string& text)
    {
        const size_t slash = relative.find_last_of(L'\\');
        Root.MakeFolder(relative.substr(0, slash));
        WriteTextFile(Root / relative, text);
    }
    // UTF-16 little-endian with a byte-order mark, the form the INI service reads the same everywhere.
    void WriteUtf16(const std::wstring& relative, const std::wstring& text)
    {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>((c >> 8) & 0xFF);
        }
        Write(relative, bytes);
    }
    std::wstring SettingsFile() const { return Root / L"Settings\\Main.ini"; }
    std::wstring ProgramFolder() const { return Root / L"Program\\"; }

    ScratchFolder Root{L"lang"};
};

TEST_F(MultiLanTest, SelectedFileFromTheProgramFolderAndFallbackPerSection)
{
    Write(L"Settings\\Main.ini", "[Main]\r\nLanguage=Test\r\n");
    Write(L"Program\\Language\\Test.lng", "[Message]\r\nb=first\r\na=second\r\n7=a sentence, without equals\r\n"
                                          "k=a=b\r\n[M_Empty]\r\n");
    Write(L"Settings\\Language\\English.lng", "[Message]\r\n0=fallback\r\n[M_Temp]\r\n0=temp 0\r\n1=temp 1\r\n"
                                              "[M_Empty]\r\n0=from fallback\r\n");
    TMultiLan texts(SettingsFile(), ProgramFolder());
    EXPECT_EQ(L"Test", texts.LanguageName);
    EXPECT_EQ(ProgramFolder() + L"Language\\Test.lng", texts.LanguageFile);
    EXPECT_EQ((TWideStrings{L"first", L"second", L"a sentence, without equals", L"b"}), texts.GetSection(L"Message"))
        << "file order, keys ignored, text after the last equals sign";
    EXPECT_EQ((TWideStrings{L"temp 0", L"temp 1"}), texts.GetSection(L"M_Temp")) << "missing section";
    EXPECT_EQ((TWideStrings{L"from fallback"}), texts.GetSection(L"M_Empty")) << "empty section";
    EXPECT_EQ(L"second", texts.GetLine(L"Message", 1));
    EXPECT_THROW(texts.GetLine(L"Message", 4), Exception) << "no file has line 4";
    EXPECT_THROW(texts.GetLine(L"Message", -1), Exception);
}

TEST_F(MultiLanTest, EnglishIsTheDefaultLanguage)
{
    Write(L"Program\\Language\\English.lng", "[Message]\r\n0=english\r\n");
    TMultiLan texts(SettingsFile(), ProgramFolder());
    EXPECT_EQ(L"English", texts.LanguageName);
    EXPECT_EQ(L"english", texts.GetLine(L"Message", 0));
}

TEST_F(MultiLanTest, WithoutAnyLanguageFileSectionsAreEmptyAndLinesRaise)
{
    TMultiLan texts(SettingsFile(), ProgramFolder());
    EXPECT_TRUE(texts.GetSection(L"Message").empty());
    EXPECT_THROW(texts.GetLine(L"Message", 0), Exception);
}

TEST_F(MultiLanTest, ShortSectionsTakeTheirMissingLinesFromEnglish)
{
    Write(L"Settings\\Main.ini", "[Main]\r\nLanguage=Test\r\n");
    Write(L"Program\\Language\\Test.lng", "[Message]\r\n0=null\r\n1=eins\r\n[M_Temp]\r\n0=t0\r\n1=t1\r\n2=t2\r\n"
                                          "[M_Short]\r\n0=kurz\r\n");
    Write(L"Program\\Language\\English.lng", "[Message]\r\n0=zero\r\n1=one\r\n2=two\r\n3=three\r\n"
                                             "[M_Temp]\r\n0=e0\r\n1=e1\r\n[M_Short]\r\n0=short\r\n");
    TMultiLan texts(SettingsFile(), ProgramFolder(), {{L"Message", 2}, {L"M_Temp", 1}, {L"M_Short", 3}});
    EXPECT_EQ((TWideStrings{L"null", L"eins", L"two", L"three"}), texts.GetSection(L"Message"))
        << "the section's own lines first, then English's lines past its end";
    EXPECT_EQ((TWideStrings{L"t0", L"t1", L"t2"}), texts.GetSection(L"M_Temp")) << "long enough: left alone";
    EXPECT_EQ(L"three", texts.GetLine(L"Message", 3)) << "a line asked for by position is completed too";
    EXPECT_EQ((TWideStrings{L"kurz"}), texts.GetSection(L"M_Short")) << "English is no longer either";

    const auto shortage = texts.FirstShortage();
    ASSERT_TRUE(shortage.has_value());
    EXPECT_EQ(L"M_Short", shortage->Section);
    EXPECT_EQ(4, shortage->Needed);
    EXPECT_EQ(1, shortage->Found);
    EXPECT_EQ(texts.LanguageFile, shortage->File);
    const std::wstring message = ShortageMessage(*shortage);
    for (const std::wstring& part : {texts.LanguageFile, std::wstring(L"[M_Short]"), std::wstring(L"1 of the 4"),
                                     std::wstring(L"reinstall")})
        EXPECT_NE(std::wstring::npos, message.find(part)) << testing::PrintToString(message);
}

TEST_F(MultiLanTest, EnglishIsLookedForInTheSettingsFolderThenInTheProgramFolder)
{
    struct Case {
        const char* Name;
        bool InSettings;
        bool InProgram;
        const wchar_t* Expected; // line 1 of Message, or nullptr when no file has it
    } cases[] = {
        {"settings folder only", true, false, L"from settings"},
        {"program folder only", false, true, L"from program"},
        {"both: settings folder first", true, true, L"from settings"},
        {"neither", false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RemoveTree(Root.Path());
        Write(L"Settings\\Main.ini", "[Main]\r\nLanguage=Test\r\n");
        Write(L"Program\\Language\\Test.lng", "[Message]\r\n0=eigene\r\n");
        if (c.InSettings)
            Write(L"Settings\\Language\\English.lng", "[Message]\r\n0=x\r\n1=from settings\r\n");
        if (c.InProgram)
            Write(L"Program\\Language\\English.lng", "[Message]\r\n0=x\r\n1=from program\r\n");
        TMultiLan texts(SettingsFile(), ProgramFolder(), {{L"Message", 1}});
        EXPECT_EQ(L"eigene", texts.GetLine(L"Message", 0));
        if (c.Expected) {
            EXPECT_EQ(c.Expected, texts.GetLine(L"Message", 1));
            EXPECT_FALSE(texts.FirstShortage().has_value());
        } else {
            EXPECT_THROW(texts.GetLine(L"Message", 1), Exception);
            ASSERT_TRUE(texts.FirstShortage().has_value());
            EXPECT_TRUE(texts.FirstShortage()->FileExists);
        }
    }
}

TEST_F(MultiLanTest, ALanguageWithoutAFileFallsBackToEnglish)
{
    Write(L"Program\\Language\\English.lng", "[Message]\r\n0=english\r\n");
    struct Case {
        const char* Setting;
        const wchar_t* Missing;
    } cases[] = {
        {"Klingon", L"Klingon"},
        {"..\\..\\Settings\\Main", L"..\\..\\Settings\\Main"}, // a path is never followed out of the folder
        {"english", L""},
        {"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Setting);
        Write(L"Settings\\Main.ini", std::string("[Main]\r\nLanguage=") + c.Setting + "\r\n");
        TMultiLan texts(SettingsFile(), ProgramFolder());
        EXPECT_EQ(c.Missing, texts.MissingLanguage);
        if (*c.Missing) {
            EXPECT_EQ(L"English", texts.LanguageName);
            EXPECT_EQ(ProgramFolder() + L"Language\\English.lng", texts.LanguageFile);
        }
        EXPECT_EQ(L"english", texts.GetLine(L"Message", 0));
    }
}

TEST_F(MultiLanTest, WithoutALanguageFolderTheShortageNamesTheMissingFile)
{
    TMultiLan texts(SettingsFile(), ProgramFolder(), {{L"Message", 18}, {L"M_Temp", 7}});
    const auto shortage = texts.FirstShortage();
    ASSERT_TRUE(shortage.has_value());
    EXPECT_FALSE(shortage->FileExists);
    EXPECT_EQ(L"Message", shortage->Section);
    EXPECT_EQ(0, shortage->Found);
    const std::wstring message = ShortageMessage(*shortage);
    EXPECT_NE(std::wstring::npos, message.find(L"\"" + ProgramFolder() + L"Language\\English.lng\" is missing"))
        << testing::PrintToString(message);
    EXPECT_NE(std::wstring::npos, message.find(L"[Message]")) << testing::PrintToString(message);
    EXPECT_NE(std::wstring::npos, message.find(L"reinstall")) << testing::PrintToString(message);
}

TEST_F(MultiLanTest, FilesInUtf16AndInTheSystemCodePageReadTheSame)
{
    const std::wstring umlauts = L"Gr\u00f6\u00dfe \u00fcber %s";
    ASSERT_EQ(umlauts, AnsiToWide(WideToAnsi(umlauts))) << "the system code page cannot hold the test text";
    struct Case {
        const char* Name;
        bool Utf16;
    } cases[] = {{"UTF-16 with byte-order mark", true}, {"system code page", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Write(L"Settings\\Main.ini", "[Main]\r\nLanguage=Deutsch\r\n");
        const std::wstring text = L"; Kommentar\r\n[Message]\r\n0=keine\r\n1=" + umlauts + L"\r\n[M_Temp]\r\n0=x\r\n";
        if (c.Utf16)
            WriteUtf16(L"Program\\Language\\Deutsch.lng", text);
        else
            Write(L"Program\\Language\\Deutsch.lng", WideToAnsi(text));
        Write(L"Program\\Language\\English.lng", "[Message]\r\n0=none\r\n1=a\r\n2=english two\r\n");
        TMultiLan texts(SettingsFile(), ProgramFolder(), {{L"Message", 2}, {L"M_Temp", 0}});
        EXPECT_TRUE(texts.MissingLanguage.empty());
        EXPECT_EQ((TWideStrings{L"keine", umlauts, L"english two"}), texts.GetSection(L"Message"));
        EXPECT_EQ(L"x", texts.GetLine(L"M_Temp", 0));
        EXPECT_FALSE(texts.FirstShortage().has_value());
    }
}

struct FormatLine {
    const wchar_t* Section;
    int Position;
    TFormatArg Argument;
    const wchar_t* Shown;
};

TEST(ShippedLanguage, EverySectionHoldsThePositionsItsReadersUse)
{
    ScratchFolder settings(L"shipped");
    TMultiLan texts(settings / L"Main.ini", TAppFrame().ExeFolder);
    for (const TSectionNeed& need : LanguageNeeds())
        EXPECT_GT(texts.GetSection(need.Section).size(), static_cast<size_t>(need.HighestLine))
            << testing::PrintToString(std::wstring(need.Section));
    const FormatLine formats[] = {
        {L"Message", 1, int64_t{1}, L"1"},         {L"Message", 2, int64_t{3}, L"3"},
        {L"Message", 3, std::wstring(L"9.99 MB"), L"9.99 MB"},
        {L"M_Temp", 1, int64_t{42}, L"42"},       {L"M_Temp", 2, std::wstring(L"1.50 KB"), L"1.50 KB"},
        {L"M_PrivacyScan", 1, std::wstring(L"17"), L"17"}, {L"M_PrivacyScan", 2, std::wstring(L"2.00 GB"), L"2.00 GB"},
    };
    for (const FormatLine& line : formats) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(line.Section)) + " " + std::to_string(line.Position));
        std::wstring shown;
        ASSERT_NO_THROW(shown = FormatText(texts.GetLine(line.Section, line.Position), {line.Argument}));
        EXPECT_NE(std::wstring::npos, shown.find(line.Shown)) << testing::PrintToString(shown);
    }
}

namespace {

std::wstring ShippedLanguageFolder()
{
    return TAppFrame().ExeFolder + L"Language\\";
}

TWideStrings SectionNames(const std::wstring& file)
{
    std::wstring buffer(65536, L'\0');
    const DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    TWideStrings names;
    for (size_t at = 0; at < length;) {
        const size_t end = buffer.find(L'\0', at);
        if (end == at || end == std::wstring::npos)
            break;
        names.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

// The conversions of a format line in order ("d", "s", "%"), widths left out.
std::wstring FormatArguments(const std::wstring& text)
{
    std::wstring kinds;
    for (size_t at = text.find(L'%'); at != std::wstring::npos && at + 1 < text.size(); at = text.find(L'%', at)) {
        size_t end = at + 1;
        while (end < text.size() && (iswdigit(text[end]) || text[end] == L'-' || text[end] == L'.'))
            ++end;
        if (end < text.size())
            kinds += towlower(text[end]);
        at = end + 1;
    }
    return kinds;
}

} // namespace

TEST(ShippedLanguage, EveryFileHasEnglishsSectionsLinesAndFormatArguments)
{
    const std::wstring folder = ShippedLanguageFolder();
    const std::wstring english = folder + L"English.lng";
    const TWideStrings sections = SectionNames(english);
    ASSERT_FALSE(sections.empty());
    for (const TSectionNeed& need : LanguageNeeds())
        EXPECT_NE(std::find(sections.begin(), sections.end(), need.Section), sections.end()) << need.Section;

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.lng").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    TWideStrings files;
    do
        files.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_GE(files.size(), 2u) << "English and at least one translation";

    for (const std::wstring& name : files) {
        SCOPED_TRACE(testing::PrintToString(name));
        const std::wstring path = folder + name;
        // A file outside ASCII is UTF-16 with a byte-order mark, which reads the same under any code page.
        std::string bytes;
        {
            std::ifstream in(path.c_str(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        const bool utf16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
        const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
        EXPECT_TRUE(utf16 || ascii);

        EXPECT_EQ(SectionNames(path), sections);
        for (const std::wstring& section : sections) {
            const TWideStrings theirs = TIniFile(path).ReadSectionLines(section);
            const TWideStrings ours = TIniFile(english).ReadSectionLines(section);
            ASSERT_EQ(theirs.size(), ours.size()) << testing::PrintToString(section);
            for (size_t i = 0; i < ours.size(); ++i) {
                SCOPED_TRACE(testing::PrintToString(section + L" " + theirs[i]));
                EXPECT_EQ(std::count(theirs[i].begin(), theirs[i].end(), L'='), 1) << "a text holds no equals sign";
                EXPECT_EQ(FormatArguments(LineValue(theirs[i])), FormatArguments(LineValue(ours[i])));
            }
        }
    }
}
