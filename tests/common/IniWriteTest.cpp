// Writing the settings and ignore files through the system's INI service: missing files made as
// UTF-16, files that cannot be written or cannot hold a text left as they were, sections whose keys
// repeat rewritten whole.
#include "common/Handles.h"
#include "common/IniFile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string Bytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class IniWrite : public ::testing::Test {
protected:
    ScratchFolder Folder{L"iniwrite"};
    TIniFile Ini{Folder / L"Kelvor\\Dornique\\Main.ini"};
};

TEST_F(IniWrite, AMissingFileIsMadeAsUtf16WithItsFolders)
{
    ASSERT_FALSE(PathExists(Folder / L"Kelvor"));
    EXPECT_EQ(Ini.PrepareWrite(), 0u);
    EXPECT_EQ(Bytes(Ini.FileName), "\xFF\xFE");
    // A name and a value outside the code page come back whole.
    const std::wstring key = L"HKEY_CURRENT_USER\\Software\\\u0416\u4e2d\u20ac";
    EXPECT_TRUE(Ini.WriteString(L"Registry", key, L"\u03a9"));
    EXPECT_EQ(Ini.ReadString(L"Registry", key, L""), L"\u03a9");
    // An existing file is left as it is.
    const std::string before = Bytes(Ini.FileName);
    EXPECT_EQ(Ini.PrepareWrite(), 0u);
    EXPECT_EQ(Bytes(Ini.FileName), before);
}

TEST_F(IniWrite, AFileThatCannotBeWrittenIsToldAndLeftAlone)
{
    WriteTextFile(Folder.MakeFolder(L"Kelvor\\Dornique") + L"\\Main.ini", "[Main]\r\nLanguage=English\r\n");
    const std::string before = Bytes(Ini.FileName);
    {
        THandle held(CreateFileW(Ini.FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Ini.PrepareWrite(), static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
        const TIniChange change = Ini.WriteEntries({{L"Main", L"Language", L"German"}});
        EXPECT_EQ(change.Status, TIniChange::TStatus::NotWritable);
        EXPECT_EQ(change.Error, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(Ini.EditSection(L"Main", [](TWideStrings& lines) { lines.push_back(L"x=1"); }).Status,
                  TIniChange::TStatus::NotWritable);
    }
    EXPECT_EQ(Bytes(Ini.FileName), before);
}

TEST_F(IniWrite, AnEightBitFileTakesOnlyWhatItsCodePageHolds)
{
    WriteTextFile(Folder.MakeFolder(L"Kelvor\\Dornique") + L"\\Main.ini", "[Registry]\r\nHKEY_CURRENT_USER\\A=N/A\r\n");
    const std::string before = Bytes(Ini.FileName);
    const std::wstring outside = L"HKEY_CURRENT_USER\\\u4e2d=N/A";
    const TIniChange change = Ini.EditSection(L"Registry", [&](TWideStrings& lines) { lines.push_back(outside); });
    EXPECT_EQ(change.Status, TIniChange::TStatus::NotStorable);
    EXPECT_EQ(change.Text, outside);
    EXPECT_EQ(Ini.WriteEntries({{L"Main", L"Language", L"\u0395\u03bb"}}).Status, TIniChange::TStatus::NotStorable);
    EXPECT_EQ(Bytes(Ini.FileName), before);
    EXPECT_TRUE(Ini.EditSection(L"Registry", [](TWideStrings& lines) { lines.push_back(L"HKEY_CURRENT_USER\\B=N/A"); })
                    .Done());
}

TEST_F(IniWrite, ASectionIsRewrittenWholeWithItsRepeatedKeys)
{
    WriteTextFile(Folder.MakeFolder(L"Kelvor\\Dornique") + L"\\Main.ini",
                  "[Spyware]\r\nAdware=a\r\nAdware=b\r\n[Other]\r\nk=v\r\n");
    ASSERT_TRUE(Ini.EditSection(L"Spyware", [](TWideStrings& lines) { lines.push_back(L"Adware=c"); }).Done());
    EXPECT_EQ(Ini.ReadSectionLines(L"Spyware"), (TWideStrings{L"Adware=a", L"Adware=b", L"Adware=c"}));
    EXPECT_EQ(Ini.ReadSectionLines(L"Other"), TWideStrings{L"k=v"});
    ASSERT_TRUE(Ini.EditSection(L"Spyware", [](TWideStrings& lines) { lines.clear(); }).Done());
    EXPECT_TRUE(Ini.ReadSectionKeys(L"Spyware").empty());
    EXPECT_EQ(Ini.ReadSectionLines(L"Other"), TWideStrings{L"k=v"});
    // An edit that changes nothing makes no file.
    const TIniFile absent(Folder / L"absent\\Ignore.ini");
    EXPECT_TRUE(absent.EditSection(L"Spyware", [](TWideStrings&) {}).Done());
    EXPECT_FALSE(PathExists(absent.FileName));
}

TEST_F(IniWrite, ASectionReadCutShortIsNeverWrittenBack)
{
    std::string text = "[Spyware]\r\n";
    for (int i = 0; i < 200; ++i)
        text += "Adware=entry number " + std::to_string(i) + "\r\n";
    const std::wstring file = Folder.MakeFolder(L"Kelvor\\Dornique") + L"\\Main.ini";
    WriteTextFile(file, text);
    TIniFile small(file);
    small.ReadCap = 1024; // far less than the section's 5,000 characters
    bool complete = true;
    EXPECT_LT(small.ReadSectionLines(L"Spyware", &complete).size(), 200u);
    EXPECT_FALSE(complete) << "the cut read is told";
    const TIniChange change = small.EditSection(L"Spyware", [](TWideStrings& lines) { lines.push_back(L"Adware=new"); });
    EXPECT_EQ(change.Status, TIniChange::TStatus::SectionTooLarge);
    EXPECT_EQ(change.Section, L"Spyware");
    EXPECT_EQ(Bytes(file), text) << "nothing is lost";
    EXPECT_EQ(Ini.ReadSectionLines(L"Spyware", &complete).size(), 200u);
    EXPECT_TRUE(complete);
}

// The rule for what survives is held against the service itself: each line is written as a section
// of its own and read back.
TEST_F(IniWrite, LinesThatSurviveTheServiceAreTheOnesItGivesBack)
{
    const wchar_t* lines[] = {
        L"a=b", L"a = b", L" a=b", L"a=b ", L"a=", L"=b", L"a=b=c", L"a\tb=c d", L";a=b", L"a",
        L"a=\tb", L"a\t=b", L"HKEY_CURRENT_USER\\x =N/A", L"Adware=C:\\a b\\c.exe", L"a=b\x1A",
    };
    ASSERT_EQ(Ini.PrepareWrite(), 0u);
    for (const wchar_t* line : lines) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(line)));
        std::wstring block = std::wstring(line) + L'\0' + L'\0';
        WritePrivateProfileSectionW(L"Probe", block.c_str(), Ini.FileName.c_str());
        const TWideStrings back = Ini.ReadSectionLines(L"Probe");
        const bool kept = back.size() == 1 && back[0] == line;
        EXPECT_EQ(LineSurvivesIni(line), kept) << (back.empty() ? std::wstring(L"(nothing)") : back[0]).c_str();
    }
    // Some services read a line that starts with a bracket as a section header.
    EXPECT_FALSE(LineSurvivesIni(L"[a=b"));
}

} // namespace
