// Language files at start-up: a missing or incomplete file is named to the user once, a translation
// that lacks lines at a section's end takes them from English, an unknown language falls back to English.
#include "AppFixture.h"

#include "app/ConsoleReport.h"
#include "common/FormatText.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The file's lines with a change per section line: edit returns false to drop the line.
template <typename Edit>
std::string EditLines(const std::string& text, Edit edit)
{
    std::istringstream lines(text);
    std::string line, section, result;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        if (edit(section, line))
            result += line + "\r\n";
    }
    return result;
}

std::string WithoutSection(const std::string& text, const std::string& dropped)
{
    return EditLines(text, [&](const std::string& section, std::string&) { return section != dropped; });
}

// Every text marked "[T] " (formats keep their arguments), and the last line of one section left out.
std::string MarkedWithoutLastLine(const std::string& text, const std::string& shortened, const std::string& last)
{
    return EditLines(text, [&](const std::string& section, std::string& line) {
        const size_t equals = line.find('=');
        if (section.empty() || line.front() == '[' || line.front() == ';' || equals == std::string::npos)
            return true;
        if (section == shortened && line.compare(0, last.size() + 1, last + "=") == 0)
            return false;
        line.insert(equals + 1, "[T] ");
        return true;
    });
}

class Language : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        English = ReadBytes(ProgramDir + L"Language\\English.lng");
        ASSERT_FALSE(English.empty());
        WriteDefinitions(1);
    }
    void WriteLanguage(const std::wstring& name, const std::string& text)
    {
        WriteTextFile(ProgramDir + L"Language\\" + name + L".lng", text);
    }
    int Console()
    {
        Out.clear();
        Err.clear();
        return RunConsoleReport({true, false, ProgramDir}, [this](const std::wstring& t) { Out += t; },
                                [this](const std::wstring& t) { Err += t; });
    }

    std::string English;
    std::wstring Out, Err;
};

TEST_F(Language, AFileThatCannotGiveEveryLineIsNamedOnceAndNothingIsScanned)
{
    struct Case {
        const char* Name;
        const wchar_t* Language;     // Main.ini's choice; empty for the default
        const wchar_t* WrittenAs;    // the damaged file written; empty for none
        const char* DroppedSection;  // left out of that file
        bool RemoveEnglish;
        const wchar_t* NamedFile;
        const wchar_t* NamedSection;
    } cases[] = {
        {"no Language folder", L"", L"", "", true, L"English.lng\" is missing", L"[Message]"},
        {"English.lng missing a section", L"", L"English", "M_Temp", false, L"English.lng\" is incomplete", L"[M_Temp]"},
        {"a translation and English both missing a section", L"Test", L"Test", "M_RegistryScan", true,
         L"Test.lng\" is incomplete", L"[M_RegistryScan]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RemoveTree(ProgramDir + L"Language");
        if (!c.RemoveEnglish || *c.WrittenAs)
            Folder.MakeFolder(L"program\\Language");
        if (!c.RemoveEnglish)
            WriteLanguage(L"English", English);
        if (*c.WrittenAs)
            WriteLanguage(c.WrittenAs, WithoutSection(English, c.DroppedSection));
        WriteSetting(L"Main", L"Language", *c.Language ? c.Language : L"English");

        Messages.clear();
        QuitRequests = 0;
        StartProgram();
        ASSERT_EQ(Messages.size(), 1u);
        const TShownMessage shown = Messages[0];
        EXPECT_EQ(shown.Caption, L"Initialization Error");
        for (const wchar_t* part : {c.NamedFile, c.NamedSection, L"reinstall"})
            EXPECT_NE(shown.Text.find(part), std::wstring::npos) << testing::PrintToString(shown.Text);
        EXPECT_EQ(QuitRequests, 1);
        EXPECT_FALSE(Form->Timer2.Enabled());
        Form->TntButton1Click();
        EXPECT_TRUE(RowsStarted.empty());
        EXPECT_EQ(Messages.size(), 1u);
        Details.reset();
        Form.reset();

        EXPECT_EQ(Console(), 2);
        EXPECT_EQ(Err, L"Initialization Error: " + shown.Text + L"\r\n");
        EXPECT_TRUE(OnlySummaryLine(Out, 2)) << testing::PrintToString(Out);
    }
}

TEST_F(Language, ATranslationLackingItsLastLineTakesTheEnglishLine)
{
    WriteLanguage(L"Test", MarkedWithoutLastLine(English, "Message", "36"));
    WriteSetting(L"Main", L"Language", L"Test");
    StartProgram();
    EXPECT_TRUE(Messages.empty()) << testing::PrintToString(Messages.empty() ? L"" : Messages[0].Text);
    ASSERT_TRUE(Form->Run.SpywareOn);
    ASSERT_EQ(Form->Run.MessageTexts.size(), 37u);
    EXPECT_EQ(Form->Run.MessageTexts[0], L"[T] " + Lng(L"Message", 0));
    EXPECT_EQ(Form->Run.MessageTexts[19], L"[T] " + Lng(L"Message", 19));
    EXPECT_EQ(Form->Run.MessageTexts[20], L"[T] " + Lng(L"Message", 20));
    EXPECT_EQ(Form->Run.MessageTexts[21], L"[T] " + Lng(L"Message", 21));
    EXPECT_EQ(Form->Run.MessageTexts[36], Lng(L"Message", 36));
    ScanNow();
    EXPECT_EQ(Form->LP1.Caption(), L"[T] " + FormatText(Lng(L"Message", 1), {int64_t{1}}));
    Details.reset();
    Form.reset();

    EXPECT_EQ(Console(), 1);
    EXPECT_NE(Out.find(L"Spyware Removal: [T] "), std::wstring::npos) << testing::PrintToString(Out);
    EXPECT_TRUE(Err.empty()) << testing::PrintToString(Err);
}

TEST_F(Language, ALanguageWithoutAFileFallsBackToEnglishAndTheReportSaysSoFirst)
{
    WriteSetting(L"Main", L"Language", L"Klingon");
    StartProgram();
    EXPECT_TRUE(Messages.empty());
    ASSERT_TRUE(Form->Run.SpywareOn);
    EXPECT_EQ(Form->Run.LangTexts->MissingLanguage, L"Klingon");
    EXPECT_EQ(Form->Run.MessageTexts[0], Lng(L"Message", 0));
    Details.reset();
    Form.reset();

    EXPECT_EQ(Console(), 1);
    EXPECT_EQ(Out.rfind(L"Quillmar Brisfold scan report\r\nLanguage \"Klingon\" named in Main.ini has no language "
                        L"file; the texts are English.\r\n",
                        0),
              0u)
        << testing::PrintToString(Out.substr(0, 200));
    EXPECT_NE(Out.find(L"Spyware Removal: " + FormatText(Lng(L"Message", 1), {int64_t{1}})), std::wstring::npos);
}

TEST_F(Language, ALineThatDoesNotFitItsArgumentsEndsTheConsoleScanWithItsError)
{
    // Line 1 takes the count of one finding; a text argument in its place cannot be filled.
    WriteLanguage(L"Test", EditLines(English, [](const std::string& section, std::string& line) {
                      if (section == "Message" && line.rfind("1=", 0) == 0)
                          line = "1=%s problem";
                      return true;
                  }));
    WriteSetting(L"Main", L"Language", L"Test");
    EXPECT_EQ(Console(), 2);
    EXPECT_NE(Err.find(L"Quillmar Brisfold: Format '%s problem' invalid"), std::wstring::npos)
        << testing::PrintToString(Err);
    EXPECT_TRUE(OnlySummaryLine(Out, 2)) << "no report of an unfinished scan: " << testing::PrintToString(Out);
}

} // namespace

TEST_F(Language, ARepairThatLeftItemsSaysHowManyInSingularOrPlural)
{
    struct Case {
        const wchar_t* Language;
        size_t Left;
        const wchar_t* Line;
    } cases[] = {
        {L"English", 1, L"1 item not removed"},   {L"English", 2, L"2 items not removed"},
        {L"German", 1, L"1 Eintrag nicht entfernt"}, {L"German", 3, L"3 Einträge nicht entfernt"},
    };
    CopyLanguageFile(L"German.lng");
    WriteDefinitions(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.Language) + L" " + std::to_wstring(c.Left));
        WriteSetting(L"Main", L"Language", c.Language);
        StartProgram();
        ASSERT_TRUE(Form->Run.Started());
        const TResultLine line = Form->Run.LeftLine(c.Left);
        EXPECT_EQ(line.Text, c.Line);
        Details.reset();
        Form.reset();
    }
}
