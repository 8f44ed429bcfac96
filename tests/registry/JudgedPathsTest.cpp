// Command lines and paths judged as the system runs and opens them: one table of texts that name
// files which exist (never a finding, whatever their arguments, dots and forms) and files which are
// gone, judged by the shared judge and then by every check that judges a path.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"
#include "registry/PathJudge.h"

#include <set>

namespace {

struct TJudgedText {
    std::wstring Text;
    TPresence Expected;
    // A drive path that ends in a known extension, without the characters the deep scan passes over:
    // every check that judges paths reports it when it is missing.
    bool Plain = false;
};

UINT NetworkZ(const std::wstring& root) { return root == L"Z:\\" ? UINT(DRIVE_REMOTE) : UINT(DRIVE_FIXED); }

std::wstring ShortPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer) : std::wstring();
}

const char* PresenceName(TPresence presence)
{
    switch (presence) {
    case TPresence::Present: return "present";
    case TPresence::Missing: return "missing";
    case TPresence::NotJudged: return "not judged";
    }
    return "?";
}

// The tag of row i in the names of the keys and values the rows are planted in.
std::wstring Tag(size_t i) { return L"J" + std::to_wstring(i) + L"_"; }

class JudgedPaths : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        // A short form of the scratch folder: no hyphen, which the deep scan would pass over.
        Base = ShortPath(Files->Path());
        ASSERT_FALSE(Base.empty());
        ASSERT_EQ(Base.find(L'-'), std::wstring::npos) << Narrow(Base);
        for (const wchar_t* file :
             {L"Program Files\\AdvJava\\bin\\javaw.exe", L"AdvTools\\tool.jar", L"AdvTools\\logger.exe",
              L"Program Files\\Acme.Executive\\acme.dll", L"Relax.Axis\\app.ico", L"Data\\anna.exeter\\report.txt",
              L"Documents\\Report.dllx", L"Program Files\\Spaced App\\run.exe", L"Tools\\plain.exe",
              L"Tools\\My.exe Launcher.exe"})
            Files->MakeFile(file, 4);
        const std::wstring& b = Base;
        SetDefaultText(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\advtool.exe",
                       b + L"\\AdvTools\\logger.exe");
        using enum TPresence;
        Commands = {
            // The program part, whatever the arguments name.
            {L"\"" + b + L"\\Program Files\\AdvJava\\bin\\javaw.exe\" -jar \"" + b + L"\\AdvTools\\tool.jar\"", Present},
            {b + L"\\AdvTools\\logger.exe /log=" + b + L"\\AdvTools\\app.log", Present},
            {b + L"\\Program Files\\Spaced App\\run.exe /min", Present}, // a prefix at a blank
            {b + L"\\Tools\\plain /x", Present},                          // ".exe" added
            {L"notepad.exe %1", Present},                                 // the Windows folder
            {L"rundll32.exe shell32.dll,Control_RunDLL", Present},        // the system folder
            {L"advtool -silent", Present},                                // App Paths, ".exe" added
            {L"\\SystemRoot\\System32\\rundll32.exe", Present},
            {L"System32\\rundll32.exe /x", Present},
            {L"\\??\\" + b + L"\\AdvTools\\logger.exe", Present},
            {L"\"" + b + L"\\Gone\\gone.exe\" -jar \"" + b + L"\\AdvTools\\tool.jar\"", Missing},
            {b + L"\\Gone\\gone.exe /log=" + b + L"\\AdvTools\\logger.exe", Missing},
            {b + L"\\Program Files\\Acme.Executive\\gone.exe", Missing},
            {L"brisfold-no-such-program.exe /x", Missing},
            {L"\\SystemRoot\\System32\\brisfold-no-such-program.exe", Missing},
            // What the system could not run as written, or may find elsewhere, is never a finding.
            {L"\"" + b + L"\\Gone\\gone.exe", NotJudged}, // unbalanced quote
            {b + L"\\Gone\\gone.exe \"x", NotJudged},
            {L"\"\" /x", NotJudged},
            {L"   ", NotJudged},
            {L"%ProgramFiles%\\BrisfoldGone\\gone.exe", NotJudged}, // not expanded
            {L"\"%1\" %*", NotJudged},
            {L"Z:\\gone.exe", NotJudged},          // a network drive
            {L"Gone\\gone.exe", NotJudged},         // relative to a folder the system chooses
        };
        Paths = {
            // An extension inside a folder or file name is no end of the path.
            {b + L"\\Program Files\\Acme.Executive\\acme.dll", Present},
            {b + L"\\Relax.Axis\\app.ico,0", Present},
            {b + L"\\Data\\anna.exeter\\report.txt", Present},
            {b + L"\\Documents\\Report.dllx", Present},
            {b + L"\\AdvTools\\logger.exe,-101", Present},
            {L"\"" + b + L"\\AdvTools\\logger.exe\",1", Present},
            // Several cuts: the first names nothing, a later one the file.
            {b + L"\\Tools\\My.exe Launcher.exe", Present},
            {L"\\??\\" + b + L"\\Program Files\\Acme.Executive\\acme.dll", Present},
            {b + L"\\Program Files\\Acme.Executive\\gone.dll", Missing, true},
            {b + L"\\Relax.Axis\\gone.ico", Missing, true},
            {b + L"\\Gone\\report.dll", Missing, true},
            {b + L"\\Relax.Axis\\gone.ico,0", Missing},
            {L"\\??\\" + b + L"\\Gone\\gone.dll", Missing},
        };
    }

    std::wstring Base;
    std::vector<TJudgedText> Commands, Paths;
};

TEST_F(JudgedPaths, TheJudgeReadsEachAsTheSystemRunsIt)
{
    const TPathJudge judge(NetworkZ, false);
    for (const TJudgedText& c : Commands)
        EXPECT_STREQ(PresenceName(judge.Command(c.Text)), PresenceName(c.Expected)) << Narrow(c.Text);
    for (const TJudgedText& c : Paths)
        EXPECT_EQ(judge.PathPresent(judge.Resolved(c.Text), false), c.Expected == TPresence::Present) << Narrow(c.Text);
}

// Each check plants every row where it looks and must report no present one; the command checks
// report every missing command they can judge, the path checks every plain missing path.
TEST_F(JudgedPaths, EveryCheckThatJudgesAPathAgrees)
{
    OnlyCategories({L"Startup", L"Filetypes", L"Active", L"Software", L"Mui", L"Sounds", L"Openscan"});
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::wstring mui = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    const std::wstring sounds = L"AppEvents\\Schemes\\Apps\\.Default\\";
    const std::wstring deep = L"Software\\BrisfoldJudged";
    for (size_t i = 0; i < Commands.size(); ++i) {
        SetRegString(HKEY_LOCAL_MACHINE, run, Tag(i), Commands[i].Text);
        SetDefaultText(HKEY_CLASSES_ROOT, L"Cmd" + Tag(i) + L"\\shell\\open\\command", Commands[i].Text);
    }
    for (size_t i = 0; i < Paths.size(); ++i) {
        const std::wstring& text = Paths[i].Text;
        SetDefaultText(HKEY_CLASSES_ROOT, L"Icon" + Tag(i) + L"\\DefaultIcon", text);
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{" + Tag(i) + L"}\\InprocServer32", text);
        SetRegString(HKEY_LOCAL_MACHINE, uninstall + Tag(i), L"DisplayIcon", text);
        SetRegString(HKEY_CURRENT_USER, mui, text, Tag(i));
        SetDefaultText(HKEY_CURRENT_USER, sounds + Tag(i) + L"\\.Current", text);
        SetRegString(HKEY_CURRENT_USER, deep, Tag(i), text);
    }
    auto scanner = MakeScannerWithDrives();
    RunScan(*scanner);
    const std::vector<std::string> rows = Rows();

    // The rows of one table that a check reported, told by the tag in the row's text after where.
    const auto reported = [&rows](const std::string& where, size_t count) {
        std::set<size_t> found;
        for (const std::string& row : rows) {
            const size_t at = row.find(where);
            if (at == std::string::npos)
                continue;
            for (size_t i = 0; i < count; ++i)
                if (row.find(Narrow(Tag(i)), at) != std::string::npos)
                    found.insert(i);
        }
        return found;
    };
    const auto expectAgreement = [&](const std::string& check, const std::set<size_t>& found,
                                     const std::vector<TJudgedText>& table, bool everyMissing) {
        SCOPED_TRACE(check);
        for (size_t i = 0; i < table.size(); ++i) {
            const bool missing = table[i].Expected == TPresence::Missing;
            if (!missing)
                EXPECT_EQ(found.count(i), 0u) << "reported though " << PresenceName(table[i].Expected) << ": "
                                              << Narrow(table[i].Text);
            else if (everyMissing || table[i].Plain)
                EXPECT_EQ(found.count(i), 1u) << "not reported though missing: " << Narrow(table[i].Text);
        }
    };
    expectAgreement("run entries", reported("\\CurrentVersion\\Run|", Commands.size()), Commands, true);
    expectAgreement("verb commands", reported("|HKEY_CLASSES_ROOT\\Cmd", Commands.size()), Commands, false);
    expectAgreement("default icons", reported("|HKEY_CLASSES_ROOT\\Icon", Paths.size()), Paths, false);
    expectAgreement("COM servers", reported("|HKEY_CLASSES_ROOT\\CLSID\\", Paths.size()), Paths, false);
    expectAgreement("uninstall entries", reported("\\CurrentVersion\\Uninstall\\", Paths.size()), Paths, false);
    expectAgreement("MUI cache", reported("\\ShellNoRoam\\MUICache\\|", Paths.size()), Paths, false);
    // The deep scan sees the sound values too: the sounds check's rows are told by their item text.
    expectAgreement("sounds", reported("Text 15|HKEY_CURRENT_USER\\AppEvents\\", Paths.size()), Paths, false);
    expectAgreement("deep scan", reported("|HKEY_CURRENT_USER\\Software\\BrisfoldJudged|", Paths.size()), Paths,
                    false);
}

} // namespace
