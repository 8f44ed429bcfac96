// Language files at start-up: a missing or incomplete file is named to the user once, a translation
// that lacks lines at a section's end takes them from English, an unknown language falls back to English.
#include "AppFixture.h"

#include "app/ConsoleReport.h"
#include "app/LanguageNeeds.h"
#include "app/MessageTexts.h"
#include "app/WindowTexts.h"
#include "common/FormatText.h"
#include "common/IniFile.h"
#include "privacy/PrivacyCategories.h"
#include "ui/Control.h"

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

// The texts of every window below this one, the window itself first.
std::vector<std::pair<HWND, std::wstring>> WindowTexts(HWND top)
{
    std::vector<std::pair<HWND, std::wstring>> texts{{top, WindowText(top)}};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<std::pair<HWND, std::wstring>>*>(list)->emplace_back(child, WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring ShippedLanguageFile(const std::wstring& name)
{
    wchar_t own[MAX_PATH];
    const std::wstring path(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Language\\" + name;
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
        {"English.lng missing the privacy tree's captions", L"", L"English", "M_Tree", false,
         L"English.lng\" is incomplete", L"[M_Tree]"},
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

TEST_F(Language, GermanShowsTheWindowsInGerman)
{
    CopyLanguageFile(L"German.lng");
    WriteSetting(L"Main", L"Language", L"German");
    StartProgram();
    ASSERT_TRUE(Form->Run.Started()) << testing::PrintToString(Messages.empty() ? L"" : Messages[0].Text);
    EXPECT_EQ(Form->TntButton1.Caption(), L"Suche starten");
    EXPECT_EQ(Form->TntButton1.Hint(), L"Klicken Sie hier, um Ihren Computer zu durchsuchen.");
    EXPECT_EQ(Form->TntButton3.Caption(), L"Reparieren");
    EXPECT_EQ(Form->TntLabel17.Caption(), L"Spyware-Entfernung");
    EXPECT_EQ(Form->TntLabel28.Caption(), L"Aktivitätsverlauf und Surfspuren löschen.");
    EXPECT_EQ(Form->lbl1.Caption(), L"Startseite");
    // German is longer: the texts fit their labels, and the home link keeps its right edge.
    for (TLabel* label : {&Form->lbl1, &Form->lbl2, &Form->TntLabel17, &Form->TntLabel18, &Form->TntLabel25,
                          &Form->TntLabel26, &Form->TntLabel27, &Form->TntLabel28, &Form->TntLabel29,
                          &Form->TntLabel30})
        EXPECT_LE(label->TextWidth(), label->Width()) << testing::PrintToString(label->Caption());
    for (TButton* button : {&Form->TntButton1, &Form->TntButton3, &Form->TntBitBtn1}) {
        EXPECT_LE(button->TextWidth() + 16, button->Width()) << testing::PrintToString(button->Caption());
        EXPECT_LE(button->Left() + button->Width(), MulDiv(400, button->Dpi(), 96));
    }
    EXPECT_NEAR(Form->lbl1.Left() + Form->lbl1.Width(), MulDiv(392, Form->lbl1.Dpi(), 96), 1);

    EXPECT_EQ(WindowText(Details->Handle()), L"Details");
    EXPECT_EQ(Details->SpyListView.ColumnCaption(0), L"       Eintragsname");
    EXPECT_EQ(Details->SpyListView.ColumnCaption(2), L"Risikostufe");
    EXPECT_EQ(Details->RegListView.ColumnCaption(1), L"Registry-Schlüssel");
    EXPECT_EQ(Details->Label1.Caption().substr(0, 30), L"Die folgenden Einträge wurden ");
    EXPECT_EQ(Details->RzCheckTree1.Caption(19), L"Andere Anwendungen");
    EXPECT_EQ(Details->RzCheckTree1.Caption(18), L"„Ausführen“-Verlauf im Startmenü");
    EXPECT_EQ(Details->RzCheckTree1.Caption(42), L"Verlauf");
}

TEST_F(Language, EveryCaptionOfTheWindowsComesFromTheLanguageFile)
{
    // Every line of every section marked; no line left out.
    WriteLanguage(L"Test", MarkedWithoutLastLine(English, "none", ""));
    WriteSetting(L"Main", L"Language", L"Test");
    StartProgram();
    ASSERT_TRUE(Form->Run.Started()) << testing::PrintToString(Messages.empty() ? L"" : Messages[0].Text);

    // The banner's program name is a name, not a text.
    for (const auto& [window, text] : WindowTexts(Form->Handle()))
        if (!text.empty() && window != Form->Handle() && window != Form->TntLabel1.Handle())
            EXPECT_EQ(text.rfind(L"[T] ", 0), 0u) << testing::PrintToString(text);
    for (TButton* button : {&Form->TntButton1, &Form->TntButton3, &Form->TntBitBtn1}) {
        EXPECT_EQ(button->Caption().rfind(L"[T] ", 0), 0u) << testing::PrintToString(button->Caption());
        EXPECT_EQ(button->Hint().rfind(L"[T] ", 0), 0u) << testing::PrintToString(button->Hint());
    }

    int captions = 0;
    for (const auto& [window, text] : WindowTexts(Details->Handle())) {
        if (text.empty())
            continue;
        ++captions;
        EXPECT_EQ(text.rfind(L"[T] ", 0), 0u) << testing::PrintToString(text);
    }
    EXPECT_GE(captions, 7) << "the title, two headers and four OK buttons";
    for (TListView* list : {&Details->SpyListView, &Details->RegListView})
        for (int column = 0; column < list->ColumnCount(); ++column) {
            std::wstring caption = list->ColumnCaption(column);
            caption.erase(0, caption.find_first_not_of(L' '));
            EXPECT_EQ(caption.rfind(L"[T] ", 0), 0u) << testing::PrintToString(caption);
        }
    ASSERT_EQ(Details->RzCheckTree1.Count(), 96);
    for (int node = 0; node < Details->RzCheckTree1.Count(); ++node)
        EXPECT_EQ(Details->RzCheckTree1.Caption(node).rfind(L"[T] ", 0), 0u)
            << node << ": " << testing::PrintToString(Details->RzCheckTree1.Caption(node));
}

TEST_F(Language, ATranslationWithoutTheWindowSectionsShowsTheEnglishCaptions)
{
    std::string text = MarkedWithoutLastLine(English, "none", "");
    for (const char* section : {"M_Main", "M_Details", "M_Tree"})
        text = WithoutSection(text, section);
    WriteLanguage(L"Test", text);
    WriteSetting(L"Main", L"Language", L"Test");
    StartProgram();
    ASSERT_TRUE(Form->Run.Started()) << testing::PrintToString(Messages.empty() ? L"" : Messages[0].Text);
    EXPECT_TRUE(Messages.empty());
    // The sections the translation has stay translated.
    EXPECT_EQ(Form->TntLabel17.Caption(), L"[T] Spyware Removal");
    EXPECT_EQ(Form->TntButton1.Caption(), L"Start Scan");
    EXPECT_EQ(Form->TntButton1.Hint(), L"Click to scan your computer.");
    EXPECT_EQ(Form->TntLabel18.Caption(), L"Scan and remove Spyware, Adware.");
    EXPECT_EQ(WindowText(Details->Handle()), L"Details");
    EXPECT_EQ(Details->SpyListView.ColumnCaption(1), L"Description");
    EXPECT_EQ(Details->RzCheckTree1.Caption(19), L"Other Applications");
    EXPECT_EQ(Details->btn1.Caption(), L"[T] OK");
}

// Each language file shipped holds every line that the program reads by itself, without English's help,
// and English's captions are the texts that the reports use.
TEST(LanguageFile, EveryShippedFileHoldsEverySectionTheProgramReads)
{
    for (const wchar_t* name : {L"English.lng", L"German.lng"}) {
        SCOPED_TRACE(name);
        const TIniFile file(ShippedLanguageFile(name));
        for (const TSectionNeed& need : LanguageNeeds())
            EXPECT_GE(file.ReadSectionLines(need.Section).size(), static_cast<size_t>(need.HighestLine + 1))
                << testing::PrintToString(std::wstring(need.Section));
    }
    const TIniFile english(ShippedLanguageFile(L"English.lng"));
    auto line = [&](const wchar_t* section, int position) {
        const TWideStrings lines = english.ReadSectionLines(section);
        return position < static_cast<int>(lines.size()) ? LineValue(lines[static_cast<size_t>(position)]) : L"";
    };
    for (int row = 0; row < kRowCount; ++row)
        EXPECT_EQ(line(kMessageSection, MessageText::FirstRowTitle + row), kResultRows[static_cast<size_t>(row)].Title);
    for (size_t group = 0; group < kPrivacyGroups.size(); ++group)
        EXPECT_EQ(line(kTreeSection, static_cast<int>(group)), kPrivacyGroups[group].Caption);
    for (const TPrivacyCategory& category : kPrivacyCategories) {
        EXPECT_EQ(line(kTreeSection, category.Text), category.Caption) << category.Position;
        EXPECT_GE(category.Text, static_cast<int>(kPrivacyGroupCount)) << category.Position;
        EXPECT_LE(category.Text, kLastTreeText) << category.Position;
    }
}
