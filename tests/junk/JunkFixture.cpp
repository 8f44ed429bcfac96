#include "JunkFixture.h"

#include "common/AppFrame.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "junk/JunkWalk.h"
#include "junk/RemovalCalls.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"
#include "ui/MessagePump.h"

#include <commctrl.h>

#include <mutex>

namespace {

std::mutex BinLock;
std::vector<std::wstring> BinCalls;

// Stands in for SHEmptyRecycleBinW inside the removal library (on its thread). Records the root it
// was given ("" for none, which would mean every drive) and empties a scratch bin by moving it aside.
HRESULT WINAPI FakeEmptyRecycleBin(HWND, const wchar_t* root, DWORD)
{
    const std::wstring drive = root ? root : L"";
    {
        std::lock_guard<std::mutex> lock(BinLock);
        BinCalls.push_back(drive);
    }
    if (JunkTest::FakeBinEmpties && !drive.empty() && PathIsAtOrBelow(drive, ScratchRoot())) {
        const std::wstring bin = RecycleBinFolder(drive);
        if (!bin.empty())
            MoveFileW(bin.c_str(), (bin + L".emptied").c_str());
    }
    return S_OK;
}


std::wstring GetEnv(const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length && length < 1024 ? std::wstring(buffer) : std::wstring();
}

void RestoreEnv(const wchar_t* name, const std::wstring& value)
{
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

} // namespace

void JunkTest::SetUp()
{
    AppData = Root.MakeFolder(L"AppData");
    Cache = Root.MakeFolder(L"Cache");
    Temp = Root.MakeFolder(L"Temp");
    Outside = Root.MakeFolder(L"Outside");
    Drive = Root.MakeFolder(L"Drive") + L"\\";
    // A long name, so that its short name differs.
    Windows = Root.MakeFolder(L"WindowsFolder");
    WindowsTemp = Root.MakeFolder(L"WindowsFolder\\temp");
    ProgramData = Root.MakeFolder(L"ProgramData");
    LocalAppData = Root.MakeFolder(L"LocalAppData");
    Bin = L"Drive\\$Recycle.Bin\\" + CurrentUserSid();
    BinFolder = Root / Bin;
    ASSERT_NE(CurrentUserSid(), L"");
    SetUserShellFolder(L"AppData", AppData);
    SetUserShellFolder(L"Cache", Cache);
    SavedTmp_ = GetEnv(L"TMP");
    SavedTemp_ = GetEnv(L"TEMP");
    SetEnvironmentVariableW(L"TMP", Temp.c_str());
    SetEnvironmentVariableW(L"TEMP", Temp.c_str());

    Library_.Reset(LoadLibraryW(StandInLibrary().c_str()));
    ASSERT_TRUE(Library_) << "error " << GetLastError();
    const auto useStandIns = reinterpret_cast<TUseStandIns>(GetProcAddress(Library_.Get(), kUseStandInsName));
    ASSERT_NE(useStandIns, nullptr);
    useStandIns(Windows.c_str(), Drive.c_str(), ProgramData.c_str(), LocalAppData.c_str(), FakeEmptyRecycleBin);
    FakeBinEmpties = true;
    {
        std::lock_guard<std::mutex> lock(BinLock);
        BinCalls.clear();
    }

    Host = CreateHostWindow();
    ASSERT_NE(Host, nullptr);
    Label.Create({.Parent = Host, .Left = 8, .Top = 8, .Width = 289, .Height = 16, .Caption = L"Scanner:"});
    Bar.Create({.Parent = Host, .Left = 8, .Top = 30, .Width = 289, .Height = 17});
    Memo.Create({.Parent = Host, .Left = 8, .Top = 60, .Width = 400, .Height = 300, .Style = WS_VSCROLL});
    SetWindowSubclass(Label.Handle(), LabelHook, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(Bar.Handle(), BarHook, 1, reinterpret_cast<DWORD_PTR>(this));
}

void JunkTest::TearDown()
{
    RemoveWindowSubclass(Label.Handle(), LabelHook, 1);
    RemoveWindowSubclass(Bar.Handle(), BarHook, 1);
    DestroyWindow(Host);
    ProcessMessages();
    RestoreEnv(L"TMP", SavedTmp_);
    RestoreEnv(L"TEMP", SavedTemp_);
    if (Library_) {
        if (const auto useStandIns = reinterpret_cast<TUseStandIns>(GetProcAddress(Library_.Get(), kUseStandInsName)))
            useStandIns(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
}

std::wstring JunkTest::StandInLibrary()
{
    return TAppFrame().ExeFolder + L"RavenwickStandIns.dll";
}

std::vector<std::wstring> JunkTest::EmptiedBins()
{
    std::lock_guard<std::mutex> lock(BinLock);
    return BinCalls;
}

LRESULT CALLBACK JunkTest::LabelHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<JunkTest*>(data);
    if (message == WM_SETTEXT && self->Running_) {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        self->StatusTexts.push_back(text);
        if (self->OnStatus) self->OnStatus(*self->Running_, text);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK JunkTest::BarHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<JunkTest*>(data);
    if (message == PBM_SETRANGE32 && self->Running_) self->BarMaxima.push_back(static_cast<int>(lParam));
    return DefSubclassProc(window, message, wParam, lParam);
}

void JunkTest::WriteSettings(const std::map<std::wstring, std::wstring>& values)
{
    const std::wstring folder = Root.MakeFolder(L"AppData\\Kelvor\\Dornique");
    const std::wstring ini = folder + L"\\Main.ini";
    DeleteFileW(ini.c_str());
    for (const auto& [key, value] : values)
        ASSERT_TRUE(WritePrivateProfileStringW(L"Junk File Removal", key.c_str(), value.c_str(), ini.c_str()));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str()); // flush the service's cache
}

std::unique_ptr<TempThread> JunkTest::RunScan(const TWideStrings& texts)
{
    auto thread = std::make_unique<TempThread>(Label, Bar, Memo, texts);
    thread->ScanPrefix = L"Scanning";
    thread->LibraryPath = StandInLibrary();
    thread->Places = {Windows, Drive, ProgramData, LocalAppData, [this] { return Elevated; }};
    // Only the pacing test waits as the program does.
    thread->Pause = [](DWORD) {};
    thread->UpdateEveryMs = UpdateEveryMs;
    StatusTexts.clear();
    BarMaxima.clear();
    Running_ = thread.get();
    thread->Start();
    WaitPasses = thread->WaitUntilFinished();
    thread->WaitFor();
    Running_ = nullptr;
    return thread;
}

std::vector<std::wstring> JunkTest::Listed() const
{
    const auto& lines = Memo.Lines();
    return lines.size() > 5 ? std::vector<std::wstring>(lines.begin() + 5, lines.end()) : std::vector<std::wstring>();
}

std::set<std::wstring> JunkTest::ListedUnder(const std::wstring& folder) const
{
    std::set<std::wstring> found;
    const std::wstring prefix = folder + L"\\";
    for (const std::wstring& line : Listed())
        if (line.compare(0, prefix.size(), prefix) == 0) found.insert(line);
    return found;
}

std::wstring MakeSparseFile(const std::wstring& path, uint64_t size, double ageDays)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << "error " << GetLastError();
    if (file == INVALID_HANDLE_VALUE) return path;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file)) << "error " << GetLastError();
    CloseHandle(file);
    SetFileAge(path, ageDays);
    return path;
}

void JunkTest::ExpectRemovalConfinedToRoot(const TempThread& thread)
{
    // The removal library walks the temporary folder, the cache folder and the Windows folder's temp
    // it finds itself (the last one the stand-in handed to it in SetUp), and empties the bin of the
    // drive handed to it. All of them must be this test's own.
    // A place written in another form (a test of the folder guard) counts by where the system opens it.
    const auto inside = [this](const std::wstring& place) {
        const std::wstring final = FinalPath(place, FILE_FLAG_BACKUP_SEMANTICS);
        return PathIsAtOrBelow(place, Root.Path()) ||
               (final.rfind(L"\\\\?\\", 0) == 0 && PathIsAtOrBelow(final.substr(4), Root.Path()));
    };
    for (const std::wstring& place : {TempFolder(), InternetCacheFolder(), thread.Places.WindowsFolder,
                                      thread.Places.RecycleDrive, thread.Places.ProgramData, thread.Places.LocalAppData})
        ASSERT_TRUE(inside(place)) << testing::PrintToString(place);
    ASSERT_EQ(thread.Places.WindowsFolder, Windows);
    ASSERT_EQ(thread.Places.RecycleDrive, Drive);
    ASSERT_EQ(thread.Places.ProgramData, ProgramData);
    ASSERT_EQ(thread.Places.LocalAppData, LocalAppData);
    ASSERT_EQ(thread.LibraryPath, StandInLibrary());
}

void JunkTest::RepairAndWait(TempThread& thread)
{
    ASSERT_NO_FATAL_FAILURE(ExpectRemovalConfinedToRoot(thread));
    ASSERT_TRUE(thread.Repair(Label));
    ASSERT_NE(thread.RemovalThread(), nullptr);
    EXPECT_TRUE(thread.CompleteRepairReport(60000));
}
