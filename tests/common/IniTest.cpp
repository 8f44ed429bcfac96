#include "common/Extinifiles.h"
#include "common/IniFile.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>


namespace {

std::wstring OwnFile()
{
    wchar_t path[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return path;
}

TExtIniFile Reader(const TAnsiStrings& lines) { return TExtIniFile(OwnFile(), lines); }

} // namespace

TEST(ExtIniFile, BlankLineEndsASection)
{
    TExtIniFile ini = Reader({"[A]", "x=1", "", "y=2"});
    TAnsiStrings keys;
    ini.ReadSection("A", keys);
    EXPECT_EQ(TAnsiStrings{"x"}, keys);
    EXPECT_EQ("dflt", ini.ReadString("A", "y", "dflt"));
    EXPECT_EQ("1", ini.ReadString("A", "x", "dflt"));
}

TEST(ExtIniFile, HeadersMatchWithoutCaseButWithoutTrimming)
{
    TExtIniFile ini = Reader({"[main]", "Key=v", "[Other]", " [Spaced]", "k=1"});
    EXPECT_EQ("v", ini.ReadString("Main", "key", ""));
    EXPECT_EQ("none", ini.ReadString("Spaced", "k", "none"));
    TAnsiStrings keys;
    ini.ReadSection("OTHER", keys);
    EXPECT_EQ(TAnsiStrings{"k"}, keys) << "a line starting with a blank is no header, so k belongs to [Other]";
}

TEST(ExtIniFile, ValuesAreTakenAsTheyStandAndBlankValuesGiveTheDefault)
{
    TExtIniFile ini = Reader({"[S]", "x=   ", "X=7", "name=a=b", "nokey", "k=1", "k=2"});
    EXPECT_EQ("7", ini.ReadString("S", "x", "d")) << "a later matching line replaces an earlier one";
    EXPECT_EQ("a=b", ini.ReadString("S", "name", "d"));
    EXPECT_EQ("2", ini.ReadString("S", "k", "d"));
    EXPECT_EQ("d", ini.ReadString("S", "missing", "d"));
    EXPECT_EQ("", ini.LastValue) << "cleared by a call that finds nothing";
    TExtIniFile blank = Reader({"[S]", "x=   "});
    EXPECT_EQ("d", blank.ReadString("S", "x", "d"));
    TAnsiStrings keys{"kept"};
    ini.ReadSection("S", keys);
    EXPECT_EQ((TAnsiStrings{"kept", "x", "X", "name", "k", "k"}), keys) << "appends; lines without = skipped";
}

TEST(ExtIniFile, AnswersOnlyWhileTheSourceFileExists)
{
    TExtIniFile ini(L"C:\\no\\such\\file.ini", {"[S]", "x=1"});
    EXPECT_EQ("d", ini.ReadString("S", "x", "d"));
    TAnsiStrings keys;
    ini.ReadSection("S", keys);
    EXPECT_TRUE(keys.empty());
    TExtIniFile last = Reader({"[S]", "x=1"});
    EXPECT_EQ("", last.TextLines.back()) << "an empty line is appended";
    EXPECT_EQ(3u, last.TextLines.size());
}

// A reader whose caller checked the source file once answers as that check said.
TEST(ExtIniFile, SourceCheckedByTheCaller)
{
    for (const bool there : {true, false}) {
        SCOPED_TRACE(there);
        TExtIniFile ini({"[S]", "x=1", "y=2"}, there);
        EXPECT_EQ(there ? "1" : "d", ini.ReadString("S", "x", "d"));
        TAnsiStrings keys;
        ini.ReadSection("S", keys);
        EXPECT_EQ((there ? TAnsiStrings{"x", "y"} : TAnsiStrings{}), keys);
    }
}

TEST(IniFile, ReadsTheSettingsFileThroughTheService)
{
    ScratchFolder scratch(L"ini");
    const std::wstring path = scratch / L"Main.ini";
    WriteTextFile(path, "[main]\r\nLanguage=Deutsch\r\n[Junk File Removal]\r\nRemoveDay=5\r\nTempFile=yes\r\n"
                    "Recycle=12abc\r\n[Spyware]\r\nAdware=C:\\x=y\r\nTrojan=HKEY_X\r\n");
    TIniFile ini(path);
    EXPECT_EQ(L"Deutsch", ini.ReadString(L"Main", L"language", L"English"));
    EXPECT_EQ(L"English", TIniFile(scratch / L"missing.ini").ReadString(L"Main", L"Language", L"English"));
    EXPECT_EQ(5, ini.ReadInteger(L"Junk File Removal", L"RemoveDay", 2));
    EXPECT_EQ(2, ini.ReadInteger(L"Junk File Removal", L"Absent", 2));
    EXPECT_EQ(2, ini.ReadInteger(L"Junk File Removal", L"Recycle", 2)) << "not a number";
    EXPECT_EQ((TWideStrings{L"Adware=C:\\x=y", L"Trojan=HKEY_X"}), ini.ReadSectionLines(L"Spyware"));
    EXPECT_EQ((TWideStrings{L"Adware", L"Trojan"}), ini.ReadSectionKeys(L"Spyware"));
    EXPECT_TRUE(ini.ReadSectionLines(L"None").empty());
}

TEST(IniFile, LongValuesAreNotCut)
{
    ScratchFolder scratch(L"longini");
    const std::wstring path = scratch / L"Big.ini";
    const std::string value(10000, 'v');
    WriteTextFile(path, "[S]\r\nk=" + value + "\r\n");
    EXPECT_EQ(std::wstring(value.begin(), value.end()), TIniFile(path).ReadString(L"S", L"k", L""));
}

TEST(LineParts, NameBeforeFirstAndValueAfterLastEquals)
{
    EXPECT_EQ("a", LineName(std::string("a=b=c")));
    EXPECT_EQ("c", LineValue(std::string("a=b=c")));
    EXPECT_EQ("", LineName(std::string("plain")));
    EXPECT_EQ("plain", LineValue(std::string("plain")));
    EXPECT_EQ(L"Adware", LineName(std::wstring(L"Adware=C:\\x")));
}
