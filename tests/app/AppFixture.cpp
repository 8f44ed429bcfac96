#include "AppFixture.h"

#include "ArchiveWriter.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "support/ShellFolders.h"
#include "ui/Application.h"
#include "ui/MessagePump.h"
#include "ui/Picture.h"

#include <fstream>

namespace {

std::wstring ExeFolder()
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring GetEnv(const wchar_t* name)
{
    wchar_t buffer[1024];
    DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good());
}

} // namespace

std::wstring Lng(const std::wstring& section, int index)
{
    TMultiLan texts(L"C:\\no-such-folder\\Main.ini", ExeFolder());
    return texts.GetLine(section, index);
}

bool OnlySummaryLine(const std::wstring& out, int status)
{
    const std::wstring end = L" (status " + std::to_wstring(status) + L")\r\n";
    return out.rfind(L"Brisfold: ", 0) == 0 && out.find(L"\r\n") == out.size() - 2 && out.size() > end.size() &&
           out.compare(out.size() - end.size(), end.size(), end) == 0;
}

std::unique_ptr<ScratchFolder> AppFixture::DriveFolder_;
std::unique_ptr<ScratchDrive> AppFixture::Drive_;

void AppFixture::SetUpTestSuite()
{
    // The picture decoders are found through the registry, which the fixture redirects.
    PreloadPictures(GetModuleHandleW(nullptr));
    DriveFolder_ = std::make_unique<ScratchFolder>(L"app-drive");
    Drive_ = std::make_unique<ScratchDrive>(DriveFolder_->Path());
}

void AppFixture::TearDownTestSuite()
{
    Drive_.reset();
    DriveFolder_.reset();
}

void AppFixture::SetUp()
{
    ProgramDir = Folder.MakeFolder(L"program") + L"\\";
    Folder.MakeFolder(L"program\\Language");
    ASSERT_TRUE(CopyFileW((ExeFolder() + L"Language\\English.lng").c_str(),
                          (ProgramDir + L"Language\\English.lng").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((ExeFolder() + L"Scan.avi").c_str(), (ProgramDir + L"Scan.avi").c_str(), FALSE));
    const std::wstring appData = Folder.MakeFolder(L"appdata");
    SetUserShellFolder(L"AppData", appData);
    // The privacy row lists and repairs what these shell folders hold: never the prefix's own.
    for (const wchar_t* name : {L"History", L"Cookies", L"Recent", L"Cache"})
        SetUserShellFolder(name, Folder.MakeFolder(name));
    SettingsDir = Folder.MakeFolder(L"appdata\\Kelvor\\Dornique") + L"\\";
    ASSERT_EQ(SettingsFolderPath(), SettingsDir);
    TempDir = Folder.MakeFolder(L"temp");
    SavedTmp_ = GetEnv(L"TMP");
    SavedTemp_ = GetEnv(L"TEMP");
    SetEnvironmentVariableW(L"TMP", TempDir.c_str());
    SetEnvironmentVariableW(L"TEMP", TempDir.c_str());
    // Keys every machine has; where they are missing the registry row creates them empty and lists
    // them as empty class keys.
    for (const wchar_t* key : {L"CLSID", L"TypeLib"})
        SetRegString(HKEY_CLASSES_ROOT, key, L"Scratch", L"1");
    ASSERT_FALSE(Drive_->Name().empty());
    WindowsDir = Drive_->Name() + L"\\Windows";
    for (const std::wstring& folder : {WindowsDir, WindowsDir + L"\\temp"})
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << GetLastError();
    ASSERT_EQ(ERROR_SUCCESS, MachinePolicy_.Create(HKEY_CURRENT_USER, L"PolicyRoots\\Machine"));
    ASSERT_EQ(ERROR_SUCCESS, UserPolicy_.Create(HKEY_CURRENT_USER, L"PolicyRoots\\User"));
    // The junk-file row looks only where a test asks it to.
    WriteSetting(L"Junk File Removal", L"TempFile", L"0");
    WriteSetting(L"Junk File Removal", L"IE Cache", L"0");
    WriteSetting(L"Junk File Removal", L"Recycle", L"0");
}

void AppFixture::TearDown()
{
    Details.reset();
    Form.reset();
    ProcessMessages();
    Application().Terminated = false;
    Application().ExitCode = 0;
    SetEnvironmentVariableW(L"TMP", SavedTmp_.empty() ? nullptr : SavedTmp_.c_str());
    SetEnvironmentVariableW(L"TEMP", SavedTemp_.empty() ? nullptr : SavedTemp_.c_str());
}

std::wstring AppFixture::PresentKey(int i) const
{
    return L"Software\\BrisfoldAppTest" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(i);
}

void AppFixture::WriteDefinitions(int present)
{
    std::string reg;
    for (int i = 0; i < present; ++i) {
        // Not empty, so that the registry row does not list it as an empty software key.
        SetRegString(HKEY_CURRENT_USER, PresentKey(i), L"Installed", L"1");
        std::wstring key = PresentKey(i);
        reg += "HKEY_CURRENT_USER\\" + std::string(key.begin(), key.end()) + "=\r\n";
    }
    reg += "HKEY_CURRENT_USER\\Software\\BrisfoldAppTestAbsent=\r\n";
    WriteDefinitionEntries(reg);
}

void AppFixture::WriteDefinitionEntries(const std::string& reg)
{
    const std::string definition = "[Info]\r\nVersion=1\r\nName=Test Spy\r\n\r\n[Main]\r\nCategory=Adware\r\n"
                                   "Description=Test Spy shows adverts\r\nRisk=3\r\n\r\n[Reg]\r\n" + reg;
    std::vector<TArchiveInput> inputs = {
        {"", "Main.db", "[Main]\r\nVersion=20080115\r\nFirstDefinition=2\r\n", false},
        {"", "TrackingCookie.db", "", false},
        {"", "TestSpy.def", definition, false},
    };
    WriteBytes(ProgramDir + L"Def.dbd", WriteArchive(inputs, true));
}

void AppFixture::WriteCorruptDefinitions()
{
    WriteDefinitions(1);
    std::string bytes;
    {
        std::ifstream in((ProgramDir + L"Def.dbd").c_str(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(bytes.size(), 60u);
    bytes[10] = static_cast<char>(bytes[10] ^ 0x5A);
    WriteBytes(ProgramDir + L"Def.dbd", bytes);
}

void AppFixture::CopyLanguageFile(const std::wstring& name)
{
    ASSERT_TRUE(CopyFileW((ExeFolder() + L"Language\\" + name).c_str(), (ProgramDir + L"Language\\" + name).c_str(),
                          FALSE));
}

void AppFixture::RemoveLanguageFiles()
{
    ASSERT_TRUE(DeleteFileW((ProgramDir + L"Language\\English.lng").c_str()));
}

void AppFixture::WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    ASSERT_TRUE(WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), MainIniPath().c_str()));
}

void AppFixture::UseStandIns(TScanRun& run) const
{
    run.Pause = [](DWORD) {};
    run.PrivacyPlatform.WindowsFolder = [windows = WindowsDir] { return windows; };
    run.PrivacyPlatform.CacheEntryInScope = [](const TUrlCacheRecord&) { return false; };
    // ProgramData and the local application data of the scratch drive: nothing of the prefix's own;
    // elevated, so that every switch of today's Windows lists what it finds.
    run.JunkPlaces = TJunkPlaces{WindowsDir, Drive_->Name() + L"\\", Drive_->Name() + L"\\ProgramData",
                                 Drive_->Name() + L"\\Local", [] { return true; }};
    run.Quarantine = ScratchQuarantine();
    run.PolicyRoots = PolicyRoots();
}

void AppFixture::SetPolicyValue(bool machine, const std::wstring& section, const std::wstring& name, DWORD type,
                                const void* data, DWORD size) const
{
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create((machine ? MachinePolicy_ : UserPolicy_).Handle(),
                                        std::wstring(kPolicyKey) + L"\\" + section));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
}

void AppFixture::SetPolicy(bool machine, const std::wstring& section, const std::wstring& name, DWORD value) const
{
    SetPolicyValue(machine, section, name, REG_DWORD, &value, sizeof value);
}

void AppFixture::SetPolicy(bool machine, const std::wstring& section, const std::wstring& name,
                           const std::wstring& text) const
{
    SetPolicyValue(machine, section, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

TQuarantinePlaces AppFixture::ScratchQuarantine() const
{
    TQuarantinePlaces places = SystemQuarantinePlaces();
    places.MachineBase = Folder.MakeFolder(L"programdata");
    places.UserBase = Folder.MakeFolder(L"localappdata");
    places.Elevated = [] { return false; };
    return places;
}

void AppFixture::StartProgram()
{
    Form = std::make_unique<TForm1>(ProgramDir);
    UseStandIns(Form->Run);
    Form->ShowMessage = [this](HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
        Messages.push_back({text, caption, flags});
        return IDOK;
    };
    Form->QuitApplication = [this] { ++QuitRequests; };
    Form->OpenUrl = [this](const std::wstring& url) { OpenedUrls.push_back(url); };
    Form->OnRowStart = [this](int row) { RowsStarted.push_back(row); };
    Form->Create(false);
    Details = std::make_unique<TW_Details>(Form->DetailsHost());
    Form->Details = Details.get();
    Details->Create();
}

void AppFixture::ScanNow()
{
    Form->Timer2.SetEnabled(false);
    Form->TntButton1Click();
}
