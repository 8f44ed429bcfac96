#include "common/Exception.h"
#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "common/MultiLan.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>


class MultiLanTest : public testing::Test {
protected:
    void Write(const std::wstring& relative, const std::string& text)
    {
        const size_t slash = relative.find_last_of(L'\\');
        Root.MakeFolder(relative.substr(0, slash));
        WriteTextFile(Root / relative, text);
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
    EXPECT_THROW(texts.GetLine(L"Message", 4), Exception) << "a partial section is not completed";
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
    EXPECT_GE(texts.GetSection(L"Message").size(), 18u);
    EXPECT_GE(texts.GetSection(L"M_SpywareScan").size(), 16u);
    EXPECT_GE(texts.GetSection(L"M_RegistryScan").size(), 20u);
    EXPECT_GE(texts.GetSection(L"M_PrivacyScan").size(), 7u);
    EXPECT_GE(texts.GetSection(L"M_Temp").size(), 4u);
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
