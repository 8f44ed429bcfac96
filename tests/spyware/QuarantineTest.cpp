// The quarantine of the spyware removal, end to end: a scan lists what a definition names, the repair
// moves it into a run, and the run brings it back.
#include "SpyScanFixture.h"

#include "common/CodePage.h"
#include "common/ExpectedPath.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "quarantine/Quarantine.h"
#include "quarantine/QuarantineRun.h"
#include "support/ScratchDrive.h"
#include "support/ShellFolders.h"
#include "support/UnixLinks.h"

#include <aclapi.h>
#include <sddl.h>

#include <fstream>
#include <map>

namespace {

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The bytes of a file no other test writes: each file of a test holds its own.
std::string Content(const std::string& name)
{
    std::string bytes = "MZ";
    bytes += name;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>((i * 7 + name.size()) & 0xFF);
    return bytes;
}

struct TFileState {
    std::string Bytes;
    BY_HANDLE_FILE_INFORMATION Info{};
};

// The times before the bytes: Linux sets the access time on the first read after a change.
TFileState StateOf(const std::wstring& path)
{
    TFileState state;
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << Narrow(path);
    if (file != INVALID_HANDLE_VALUE) {
        GetFileInformationByHandle(file, &state.Info);
        CloseHandle(file);
    }
    state.Bytes = ReadBytes(path);
    return state;
}

// Read once, so that the access time the removal keeps is the one the file has afterwards.
TFileState SettledStateOf(const std::wstring& path)
{
    ReadBytes(path);
    return StateOf(path);
}

ULONGLONG Value(const FILETIME& time) { return FileTimeValue(time); }

// Some moment of the past, so that a time that is not put back shows.
FILETIME PastTime(int day)
{
    SYSTEMTIME when{2019, 3, 0, static_cast<WORD>(day), 10, 20, 30, 0};
    FILETIME time{};
    SystemTimeToFileTime(&when, &time);
    return time;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes, int pastDay)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << Narrow(path) << ", error " << GetLastError();
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const FILETIME created = PastTime(pastDay), accessed = PastTime(pastDay + 1), changed = PastTime(pastDay + 2);
    EXPECT_TRUE(SetFileTime(file, &created, &accessed, &changed));
    CloseHandle(file);
}

std::map<std::wstring, std::wstring> ValuesOf(HKEY root, const std::wstring& key)
{
    std::map<std::wstring, std::wstring> values;
    TRegKey open;
    if (open.Open(root, key) != ERROR_SUCCESS)
        return values;
    for (const TRegNamedValue& value : open.Values()) {
        std::wstring text = std::to_wstring(value.Value.Type) + L":";
        for (BYTE byte : value.Value.Data)
            text += std::to_wstring(byte) + L",";
        values[value.Name] = text;
    }
    return values;
}

// A second drive letter of the prefix, on a scratch folder of the test's own: another volume, as the
// program tells volumes apart (by the volume's root and serial), although Wine keeps both on one Unix
// file system, where a rename between them would succeed.
class TOtherVolume {
public:
    TOtherVolume()
    {
        Folder_ = ScratchRoot() + L"\\other-volume";
        RemoveTree(Folder_);
        if (!CreateDirectoryW(Folder_.c_str(), nullptr))
            return;
        Drive_ = std::make_unique<ScratchDrive>(Folder_);
        // Wine names a folder by the nearest drive root above it, from a list of drives it renews about
        // once a second: until the new drive is on it, the folder goes by its C: path.
        for (int i = 0; i < 300 && !Drive_->Name().empty() && ResolvedPath(Folder_) != Drive_->Name() + L"\\"; ++i)
            Sleep(10);
    }
    ~TOtherVolume()
    {
        Drive_.reset();
        // Until Wine's list of drives forgets the letter, the folder must stay: one made in its place
        // (the same inode) would be taken for that drive's root.
        for (int i = 0; i < 300 && !Folder_.empty() && ResolvedPath(Folder_) != Folder_; ++i)
            Sleep(10);
        if (!Folder_.empty())
            RemoveTree(Folder_);
    }
    bool Ready() const { return Drive_ && !Drive_->Name().empty() && ResolvedPath(Folder_) == Drive_->Name() + L"\\"; }
    // A favorites folder on the drive with a folder of that name in it, the user's from now on.
    std::wstring Favorites(const std::wstring& folder) const
    {
        const std::wstring favorites = Drive_->Name() + L"\\Favorites";
        CreateDirectoryW(favorites.c_str(), nullptr);
        CreateDirectoryW((favorites + L"\\" + folder).c_str(), nullptr);
        SetUserShellFolder(L"Favorites", favorites);
        return favorites;
    }

private:
    std::wstring Folder_;
    std::unique_ptr<ScratchDrive> Drive_;
};

class QuarantineTest : public SpyScanTest {
protected:
    // A definition with a present key, so that its files and folders are listed.
    std::string Definition(const std::string& name, const std::vector<std::string>& files,
                           const std::vector<std::string>& folders = {}, std::vector<std::string> keys = {})
    {
        keys.insert(keys.begin(), PresentKey(name));
        return DefinitionText(name, "Adware", "3", keys, files, folders);
    }

    // Scans with the definitions and repairs everything listed; the run it made.
    TRunEntry ScanAndRepair(const std::vector<std::string>& definitions, int expectedRows)
    {
        Scanner = MakeScanner(definitions);
        EXPECT_EQ(expectedRows, RunScan(*Scanner));
        RunRepair(*Scanner);
        EXPECT_EQ(L"", Scanner->LastQuarantineError);
        EXPECT_FALSE(Scanner->LastQuarantineRun.empty());
        std::string left;
        for (const TRepairReport::TItem& item : Scanner->LastRepair.Left())
            left += Narrow(item.Text) + " (" + Narrow(OutcomeName(item.Outcome)) + ") " + Narrow(item.Reason) + "\n";
        EXPECT_TRUE(Scanner->LastRepair.AllDone()) << left;
        return OnlyRun();
    }

    TRunEntry OnlyRun()
    {
        std::vector<std::wstring> problems;
        const std::vector<TRunEntry> runs = TQuarantine(ScratchQuarantine()).Runs(&problems);
        EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : Narrow(problems.front()));
        EXPECT_EQ(1u, runs.size());
        return runs.empty() ? TRunEntry{} : runs.front();
    }

    TRestoreResult Restore(const TRunEntry& run, int number = 0)
    {
        return TQuarantine(ScratchQuarantine()).Restore(run, number);
    }

    static const TItemResult* ResultOf(const TRestoreResult& result, const std::wstring& path)
    {
        for (const TItemResult& item : result.Items)
            if (item.Path == path)
                return &item;
        return nullptr;
    }

    static std::string Texts(const TRestoreResult& result)
    {
        std::string text = Narrow(result.Problem);
        for (const TItemResult& item : result.Items)
            text.append("\n").append(Narrow(item.Path + L": " + item.Text));
        return text;
    }

    std::unique_ptr<TSpyScan> Scanner;
};

} // namespace

TEST_F(QuarantineTest, FilesAFolderAndRegistryEntriesComeBackAsTheyWere)
{
    const std::wstring exe = Favorites + L"\\Round\\round.exe";
    const std::wstring data = Favorites + L"\\Round\\data\\round.dat";
    Files->MakeFolder(L"Favorites\\Round\\data");
    WriteFileBytes(exe, Content("round.exe"), 2);
    WriteFileBytes(data, Content("round.dat"), 5);
    ASSERT_TRUE(SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round\\Deep", L"Text", L"some text");
    TRegKey deep;
    ASSERT_EQ(ERROR_SUCCESS, deep.Open(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round\\Deep", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, deep.WriteValue(L"Number", TRegValue{REG_DWORD, {7, 0, 0, 1}}));
    ASSERT_EQ(ERROR_SUCCESS, deep.WriteValue(L"Bytes", TRegValue{REG_BINARY, {0, 1, 2, 255}}));
    deep.Close();
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Round", L"C:\\round.exe");
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Other", L"kept");
    const TFileState exeBefore = SettledStateOf(exe), dataBefore = SettledStateOf(data);
    const auto deepBefore = ValuesOf(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round\\Deep");

    const TRunEntry run = ScanAndRepair(
        {Definition("Round", {"%favorites%\\Round\\round.exe", "%favorites%\\Round\\data\\round.dat"},
                    {"%favorites%\\Round\\data", "%favorites%\\Round"}, {"HKEY_CURRENT_USER\\Software\\SpyRun|Round"})},
        6);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_FALSE(PathExists(Favorites + L"\\Round"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Round"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Other"));
    ASSERT_TRUE(run.Readable) << Narrow(run.Problem);
    EXPECT_EQ(6u, run.Manifest.Items.size());
    EXPECT_TRUE(run.Manifest.Damaged.empty());
    EXPECT_FALSE(run.Manifest.UndoFile.empty());
    for (const TQuarantineItem& item : run.Manifest.Items) {
        EXPECT_TRUE(item.Done) << Narrow(item.Path);
        EXPECT_EQ(L"Round", item.Definition);
        EXPECT_EQ(L"Risk three", item.Risk);
        if (item.Kind == TItemKind::File) {
            EXPECT_TRUE(PathExists(run.Folder + L"\\" + item.PlaceName())) << "held under a name that cannot run";
            EXPECT_FALSE(item.OtherVolume);
            EXPECT_EQ(64u, item.Sha256.size());
            EXPECT_FALSE(item.Sddl.empty());
        }
        EXPECT_EQ(L"quarantined", ItemStateText(run, item).substr(0, 11)) << Narrow(item.Path);
    }

    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored()) << Texts(restored);
    for (const auto& [path, before] : {std::pair{exe, exeBefore}, std::pair{data, dataBefore}}) {
        const TFileState after = StateOf(path);
        EXPECT_TRUE(before.Bytes == after.Bytes) << Narrow(path);
        EXPECT_EQ(before.Info.dwFileAttributes, after.Info.dwFileAttributes) << Narrow(path);
        EXPECT_EQ(Value(before.Info.ftLastWriteTime), Value(after.Info.ftLastWriteTime)) << Narrow(path);
        EXPECT_EQ(Value(before.Info.ftLastAccessTime), Value(after.Info.ftLastAccessTime)) << Narrow(path);
        EXPECT_EQ(Value(before.Info.ftCreationTime), Value(after.Info.ftCreationTime)) << Narrow(path);
    }
    EXPECT_EQ(deepBefore, ValuesOf(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round\\Deep"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Round"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Round"));
    for (const TQuarantineItem& item : run.Manifest.Items) {
        if (item.Kind == TItemKind::File) {
            EXPECT_FALSE(PathExists(run.Folder + L"\\" + item.PlaceName())) << "moved back, not copied";
        }
    }
    // Restored once: a second restore finds nothing to do.
    const TRestoreResult again = Restore(OnlyRun());
    EXPECT_TRUE(again.AllRestored()) << Texts(again);
    for (const TQuarantineItem& item : OnlyRun().Manifest.Items)
        EXPECT_TRUE(item.Restored) << Narrow(item.Path);
}

TEST_F(QuarantineTest, AFileRecreatedAtItsPlaceStaysAndSoDoesTheQuarantinedCopy)
{
    const std::wstring file = Favorites + L"\\Taken\\taken.exe";
    Files->MakeFolder(L"Favorites\\Taken");
    WriteFileBytes(file, Content("old"), 3);
    const TRunEntry run = ScanAndRepair({Definition("Taken", {"%favorites%\\Taken\\taken.exe"})}, 2);
    ASSERT_FALSE(PathExists(file));
    WriteFileBytes(file, Content("new"), 4);

    const TRestoreResult restored = Restore(run);
    ASSERT_TRUE(restored.Read) << Narrow(restored.Problem);
    EXPECT_FALSE(restored.AllRestored());
    const TItemResult* item = ResultOf(restored, file);
    ASSERT_NE(nullptr, item) << Texts(restored);
    EXPECT_EQ(TItemResult::TKind::NotRestored, item->Kind);
    EXPECT_EQ(L"not restored: the place is taken", item->Text);
    EXPECT_TRUE(Content("new") == ReadBytes(file));
    const TRunEntry after = OnlyRun();
    const TQuarantineItem& held = after.Manifest.Items[0].Kind == TItemKind::File ? after.Manifest.Items[0]
                                                                                   : after.Manifest.Items[1];
    EXPECT_TRUE(Content("old") == ReadBytes(after.Folder + L"\\" + held.PlaceName()));
    EXPECT_EQ(L"quarantined", ItemStateText(after, held));
}

TEST_F(QuarantineTest, MissingParentFoldersAreMadeAgain)
{
    const std::wstring file = Favorites + L"\\Nest\\one\\two\\nest.exe";
    Files->MakeFolder(L"Favorites\\Nest\\one\\two");
    WriteFileBytes(file, Content("nest"), 6);
    const TRunEntry run = ScanAndRepair({Definition("Nest", {"%favorites%\\Nest\\one\\two\\nest.exe"})}, 2);
    RemoveTree(Favorites + L"\\Nest");
    ASSERT_FALSE(PathExists(Favorites + L"\\Nest"));

    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored()) << Texts(restored);
    EXPECT_TRUE(Content("nest") == ReadBytes(file));
}

TEST_F(QuarantineTest, ADamagedLineOrAChangedFileIsNotRestoredAndSaysSo)
{
    Files->MakeFolder(L"Favorites\\Mixed");
    const std::wstring good = Favorites + L"\\Mixed\\good.exe";
    const std::wstring changed = Favorites + L"\\Mixed\\changed.exe";
    const std::wstring damaged = Favorites + L"\\Mixed\\damaged.exe";
    for (const std::wstring& path : {good, changed, damaged})
        WriteFileBytes(path, Content(Narrow(path)), 7);
    const TRunEntry run = ScanAndRepair(
        {Definition("Mixed", {"%favorites%\\Mixed\\good.exe", "%favorites%\\Mixed\\changed.exe",
                              "%favorites%\\Mixed\\damaged.exe"})},
        4);
    std::map<std::wstring, const TQuarantineItem*> items;
    for (const TQuarantineItem& item : run.Manifest.Items)
        items[item.Path] = &item;
    ASSERT_EQ(4u, items.size());

    // The held copy of one file changes; the item line of another is damaged.
    const std::wstring held = run.Folder + L"\\" + items[changed]->PlaceName();
    std::ofstream(held.c_str(), std::ios::binary | std::ios::app) << "tampered";
    const std::wstring manifest = run.Folder + L"\\" + kManifestName;
    std::string text = ReadBytes(manifest);
    const std::string marker = "\tpath=" + Narrow(damaged) + "\t";
    const size_t at = text.find(marker);
    ASSERT_NE(std::string::npos, at);
    text.replace(at, marker.size(), "\tpath=" + Narrow(damaged) + "\tkind=again\t");
    std::ofstream(manifest.c_str(), std::ios::binary | std::ios::trunc) << text;

    const TRunEntry reread = OnlyRun();
    ASSERT_TRUE(reread.Readable);
    // The item's line, and the line that marks it done.
    ASSERT_EQ(2u, reread.Manifest.Damaged.size());
    EXPECT_NE(std::wstring::npos, reread.Manifest.Damaged[0].find(L": a field given twice"));
    EXPECT_NE(std::wstring::npos, reread.Manifest.Damaged[1].find(L"a line about no item of this run"));
    const TRestoreResult restored = Restore(reread);
    ASSERT_TRUE(restored.Read) << Narrow(restored.Problem);
    EXPECT_EQ(2u, restored.Skipped.size());
    EXPECT_TRUE(Content(Narrow(good)) == ReadBytes(good));
    const TItemResult* refused = ResultOf(restored, changed);
    ASSERT_NE(nullptr, refused) << Texts(restored);
    EXPECT_EQ(L"not restored: its SHA-256 no longer matches", refused->Text);
    EXPECT_FALSE(PathExists(changed));
    EXPECT_FALSE(PathExists(damaged)) << "an item whose line does not parse is not restored";
    EXPECT_EQ(nullptr, ResultOf(restored, damaged));
}

TEST_F(QuarantineTest, ARunStoppedAfterTwoOfFiveMovesRestoresTheTwo)
{
    Files->MakeFolder(L"Favorites\\Five");
    std::vector<std::string> names;
    std::vector<std::wstring> paths;
    for (int i = 1; i <= 5; ++i) {
        names.push_back("%favorites%\\Five\\five" + std::to_string(i) + ".exe");
        paths.push_back(Favorites + L"\\Five\\five" + std::to_wstring(i) + L".exe");
        WriteFileBytes(paths.back(), Content("five" + std::to_string(i)), 8);
    }
    Scanner = MakeScanner({Definition("Five", names)});
    ASSERT_EQ(6, RunScan(*Scanner));
    int asked = 0;
    // The rows are dealt with from the last: five files, then the key. Stopped before the third.
    Scanner->Quarantine.KeepGoing = [&] { return ++asked <= 2; };
    RunRepair(*Scanner);
    int moved = 0;
    for (const std::wstring& path : paths)
        moved += !PathExists(path);
    EXPECT_EQ(2, moved);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Five")) << "never reached";

    const TRunEntry run = OnlyRun();
    ASSERT_TRUE(run.Readable) << Narrow(run.Problem);
    ASSERT_EQ(6u, run.Manifest.Items.size()) << "the manifest names every item before the first move";
    int quarantined = 0;
    for (const TQuarantineItem& item : run.Manifest.Items)
        quarantined += ItemStateText(run, item) == L"quarantined";
    EXPECT_EQ(3, quarantined) << "two files and the key, which the undo file holds";

    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored()) << Texts(restored);
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_TRUE(Content("five" + std::to_string(i + 1)) == ReadBytes(paths[i])) << i;
}

TEST_F(QuarantineTest, AFileOnAnotherVolumeIsCopiedCheckedAndDeletedThenCopiedBack)
{
    TOtherVolume volume;
    ASSERT_TRUE(volume.Ready());
    const std::wstring favorites = volume.Favorites(L"Far");
    const std::wstring file = favorites + L"\\Far\\far.exe";
    WriteFileBytes(file, Content("far"), 9);
    const TFileState before = SettledStateOf(file);

    const TRunEntry run = ScanAndRepair({Definition("Far", {"%favorites%\\Far\\far.exe"})}, 2);
    EXPECT_FALSE(PathExists(file));
    ASSERT_TRUE(run.Readable);
    const TQuarantineItem* item = nullptr;
    for (const TQuarantineItem& entry : run.Manifest.Items)
        if (entry.Kind == TItemKind::File)
            item = &entry;
    ASSERT_NE(nullptr, item);
    EXPECT_TRUE(item->OtherVolume) << "decided by the volume, not by a rename that would have worked";
    EXPECT_TRUE(item->Done);
    EXPECT_TRUE(Content("far") == ReadBytes(run.Folder + L"\\" + item->PlaceName()));

    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored()) << Texts(restored);
    const TFileState after = StateOf(file);
    EXPECT_TRUE(before.Bytes == after.Bytes);
    EXPECT_EQ(Value(before.Info.ftLastWriteTime), Value(after.Info.ftLastWriteTime));
    EXPECT_EQ(before.Info.dwFileAttributes, after.Info.dwFileAttributes);
    EXPECT_FALSE(PathExists(run.Folder + L"\\" + item->PlaceName())) << "the quarantine's copy goes";
    SetUserShellFolder(L"Favorites", Favorites);
}

TEST_F(QuarantineTest, AFileThatCannotBeCopiedWholeStaysWhereItIs)
{
    TOtherVolume volume;
    ASSERT_TRUE(volume.Ready());
    const std::wstring file = volume.Favorites(L"Stuck") + L"\\Stuck\\stuck.exe";
    WriteFileBytes(file, Content("stuck"), 17);
    Scanner = MakeScanner({Definition("Stuck", {"%favorites%\\Stuck\\stuck.exe"})});
    ASSERT_EQ(2, RunScan(*Scanner));
    // Before the file's turn, something takes the place of its copy in the run.
    Scanner->Quarantine.KeepGoing = [&] {
        if (!Scanner->LastQuarantineFolder.empty())
            CreateDirectoryW((Scanner->LastQuarantineFolder + L"\\1.quarantined").c_str(), nullptr);
        return true;
    };
    RunRepair(*Scanner);
    EXPECT_TRUE(Content("stuck") == ReadBytes(file)) << "not removed";
    EXPECT_EQ(1, Scanner->LastRepair.Count(TOutcome::Failed));
    ASSERT_EQ(1u, Scanner->LastRepair.Left().size());
    EXPECT_EQ(file, Scanner->LastRepair.Left()[0].Text);
    EXPECT_EQ(0u, Scanner->LastRepair.Left()[0].Reason.find(L"it cannot be copied into the quarantine"))
        << Narrow(Scanner->LastRepair.Left()[0].Reason);
    const TRunEntry run = OnlyRun();
    for (const TQuarantineItem& item : run.Manifest.Items) {
        if (item.Kind == TItemKind::File) {
            EXPECT_EQ(0u, ItemStateText(run, item).find(L"not removed (failed: it cannot be copied"))
                << Narrow(ItemStateText(run, item));
        }
    }
    SetUserShellFolder(L"Favorites", Favorites);
}

TEST_F(QuarantineTest, PathsLongerThanMaxPath)
{
    std::wstring relative = L"Favorites\\Long";
    for (int i = 0; i < 5; ++i)
        relative += L"\\" + std::wstring(60, static_cast<wchar_t>(L'a' + i));
    const std::wstring folder = *Files / relative;
    const std::wstring file = folder + L"\\long.exe";
    ASSERT_GT(file.size(), 300u);
    std::wstring made = L"\\\\?\\" + Files->Path();
    for (size_t at = 0; at <= relative.size();) {
        const size_t end = std::min(relative.find(L'\\', at), relative.size());
        made += L"\\" + relative.substr(at, end - at);
        CreateDirectoryW(made.c_str(), nullptr);
        at = end + 1;
    }
    WriteFileBytes(L"\\\\?\\" + file, Content("long"), 10);
    std::string macro = "%favorites%\\Long";
    for (int i = 0; i < 5; ++i)
        macro += "\\" + std::string(60, static_cast<char>('a' + i));

    const TRunEntry run = ScanAndRepair({Definition("Long", {macro + "\\long.exe"})}, 2);
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_FALSE(PathExists(L"\\\\?\\" + file));
    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored()) << Texts(restored);
    EXPECT_TRUE(Content("long") == ReadBytes(L"\\\\?\\" + file));
}

TEST_F(QuarantineTest, PurgeDeletesTheRunsOlderThanTheDaysGiven)
{
    Files->MakeFolder(L"Favorites\\Old");
    WriteFileBytes(Favorites + L"\\Old\\old.exe", Content("old"), 11);
    const TRunEntry run = ScanAndRepair({Definition("Old", {"%favorites%\\Old\\old.exe"})}, 2);
    ASSERT_TRUE(PathExists(run.Folder));
    // A folder of the quarantine that is no run is never touched.
    const std::wstring stranger = run.Folder.substr(0, run.Folder.find_last_of(L'\\')) + L"\\notes";
    ASSERT_TRUE(CreateDirectoryW(stranger.c_str(), nullptr));

    TQuarantinePlaces places = ScratchQuarantine();
    const ULONGLONG day = 24ULL * 3600 * 10000000;
    places.Now = [&] { return FileTimeOf(run.Started + 29 * day); };
    TPurgeResult purged = TQuarantine(places).Purge(30);
    EXPECT_EQ(0, purged.Runs);
    EXPECT_TRUE(PathExists(run.Folder));
    places.Now = [&] { return FileTimeOf(run.Started + 31 * day); };
    purged = TQuarantine(places).Purge(30);
    EXPECT_EQ(1, purged.Runs);
    EXPECT_TRUE(purged.NotPurged.empty()) << Narrow(purged.NotPurged.front());
    EXPECT_FALSE(PathExists(run.Folder));
    EXPECT_TRUE(PathExists(stranger));
}

TEST_F(QuarantineTest, ARunHoldingAFileOfSomeoneElseIsNotPurged)
{
    Files->MakeFolder(L"Favorites\\Kept");
    WriteFileBytes(Favorites + L"\\Kept\\kept.exe", Content("kept"), 12);
    const TRunEntry run = ScanAndRepair({Definition("Kept", {"%favorites%\\Kept\\kept.exe"})}, 2);
    WriteTextFile(run.Folder + L"\\letter.txt", "not the quarantine's");
    const TPurgeResult purged = TQuarantine(ScratchQuarantine()).Purge(0);
    EXPECT_EQ(0, purged.Runs);
    ASSERT_EQ(1u, purged.NotPurged.size());
    EXPECT_NE(std::wstring::npos, purged.NotPurged[0].find(L"letter.txt is not the quarantine's"));
    for (const TQuarantineItem& item : run.Manifest.Items) {
        if (item.Kind == TItemKind::File) {
            EXPECT_TRUE(PathExists(run.Folder + L"\\" + item.PlaceName())) << "nothing of the run is deleted";
        }
    }
    EXPECT_TRUE(PathExists(run.Folder + L"\\letter.txt"));
    EXPECT_TRUE(PathExists(run.Folder + L"\\" + kManifestName));
}

TEST_F(QuarantineTest, ALinkOnTheWayToTheQuarantineRemovesNothing)
{
    ScratchFolder elsewhere(L"spy-elsewhere");
    const std::wstring userBase = ScratchQuarantine().UserBase;
    ASSERT_TRUE(MakeUnixSymlink(elsewhere.Path(), userBase + L"\\Kelvor"));
    Files->MakeFolder(L"Favorites\\Held");
    const std::wstring file = Favorites + L"\\Held\\held.exe";
    WriteFileBytes(file, Content("held"), 13);

    Scanner = MakeScanner({Definition("Held", {"%favorites%\\Held\\held.exe"})});
    ASSERT_EQ(2, RunScan(*Scanner));
    EXPECT_EQ(2, RunRepair(*Scanner));
    EXPECT_NE(std::wstring::npos, Scanner->LastQuarantineError.find(L"is a link")) << Narrow(Scanner->LastQuarantineError);
    EXPECT_EQ(2, Scanner->LastRepair.Count(TOutcome::Failed));
    ASSERT_EQ(2u, Scanner->LastRepair.Left().size());
    EXPECT_EQ(Scanner->LastQuarantineError, Scanner->LastRepair.Left()[0].Reason);
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Held"));
    EXPECT_FALSE(PathExists(elsewhere / L"Dornique")) << "nothing was made behind the link";
    RemoveUnixLink(userBase + L"\\Kelvor");
}

TEST_F(QuarantineTest, AQuarantineFolderOthersMayWriteToRemovesNothing)
{
    // Under Wine an access list becomes the folder's Unix mode, and the mode the access list read back.
    const std::wstring dornique = QuarantineFolders->MakeFolder(L"LocalAppData\\Kelvor\\Dornique");
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;WD)",
                                                                     SDDL_REVISION_1, &open, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    GetSecurityDescriptorDacl(open, &present, &acl, &defaulted);
    ASSERT_EQ(ERROR_SUCCESS, SetNamedSecurityInfoW(const_cast<wchar_t*>(dornique.c_str()), SE_FILE_OBJECT,
                                                   DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr));
    LocalFree(open);
    Files->MakeFolder(L"Favorites\\Open");
    const std::wstring file = Favorites + L"\\Open\\open.exe";
    WriteFileBytes(file, Content("open"), 16);

    Scanner = MakeScanner({Definition("Open", {"%favorites%\\Open\\open.exe"})});
    ASSERT_EQ(2, RunScan(*Scanner));
    RunRepair(*Scanner);
    EXPECT_NE(std::wstring::npos, Scanner->LastQuarantineError.find(L"lets S-1-1-0 write to it"))
        << Narrow(Scanner->LastQuarantineError);
    EXPECT_EQ(2, Scanner->LastRepair.Count(TOutcome::Failed));
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Open"));
    EXPECT_FALSE(PathExists(dornique + L"\\Quarantine"));
}

TEST_F(QuarantineTest, ARestoreNeverGoesThroughAParentThatIsNowALink)
{
    Files->MakeFolder(L"Favorites\\Moved");
    const std::wstring file = Favorites + L"\\Moved\\moved.exe";
    WriteFileBytes(file, Content("moved"), 14);
    const TRunEntry run = ScanAndRepair({Definition("Moved", {"%favorites%\\Moved\\moved.exe"})}, 2);
    RemoveTree(Favorites + L"\\Moved");
    ScratchFolder elsewhere(L"spy-elsewhere");
    ASSERT_TRUE(MakeUnixSymlink(elsewhere.Path(), Favorites + L"\\Moved"));

    const TRestoreResult restored = Restore(run);
    ASSERT_TRUE(restored.Read);
    const TItemResult* item = ResultOf(restored, file);
    ASSERT_NE(nullptr, item) << Texts(restored);
    EXPECT_EQ(TItemResult::TKind::NotRestored, item->Kind);
    EXPECT_NE(std::wstring::npos, item->Text.find(L"is a link")) << Narrow(item->Text);
    EXPECT_FALSE(PathExists(elsewhere / L"moved.exe"));
    const TRunEntry after = OnlyRun();
    for (const TQuarantineItem& held : after.Manifest.Items) {
        if (held.Kind == TItemKind::File) {
            EXPECT_EQ(L"quarantined", ItemStateText(after, held));
        }
    }
    RemoveUnixLink(Favorites + L"\\Moved");
}

TEST_F(QuarantineTest, APlaceInsideTheQuarantineIsRefused)
{
    Files->MakeFolder(L"Favorites\\Inside");
    const std::wstring file = Favorites + L"\\Inside\\inside.exe";
    WriteFileBytes(file, Content("inside"), 15);
    const TRunEntry run = ScanAndRepair({Definition("Inside", {"%favorites%\\Inside\\inside.exe"})}, 2);
    // A manifest that names a place inside the quarantine (its own manifest, say) restores nothing there.
    const std::wstring manifest = run.Folder + L"\\" + kManifestName;
    std::string text = ReadBytes(manifest);
    const std::string real = "\treal=" + Narrow(file);
    ASSERT_NE(std::string::npos, text.find(real));
    text.replace(text.find(real), real.size(), "\treal=" + Narrow(run.Folder + L"\\planted.exe"));
    std::ofstream(manifest.c_str(), std::ios::binary | std::ios::trunc) << text;

    const TRestoreResult restored = Restore(OnlyRun());
    const TItemResult* item = ResultOf(restored, file);
    ASSERT_NE(nullptr, item) << Texts(restored);
    EXPECT_EQ(L"not restored: its place lies inside the quarantine", item->Text);
    EXPECT_FALSE(PathExists(run.Folder + L"\\planted.exe"));
}

TEST_F(QuarantineTest, ATrackingCookieIsRemovedAndSaidToBeBeyondRestoring)
{
    TestCookie cookie("Cookie:tester@quarantine" + std::to_string(GetCurrentProcessId()) + ".trackerhub.test/");
    Scanner = MakeScanner({}, "quarantine" + std::to_string(GetCurrentProcessId()) + "=Tracker\r\n");
    ASSERT_EQ(1, RunScan(*Scanner));
    RunRepair(*Scanner);
    EXPECT_FALSE(cookie.Exists());
    const TRunEntry run = OnlyRun();
    ASSERT_EQ(1u, run.Manifest.Items.size());
    EXPECT_EQ(TItemKind::Cookie, run.Manifest.Items[0].Kind);
    EXPECT_EQ(L"removed, a tracking cookie cannot be restored", ItemStateText(run, run.Manifest.Items[0]));
    EXPECT_NE(std::string::npos, ReadBytes(run.Folder + L"\\" + kManifestName).find("restorable=no"));
    const TRestoreResult restored = Restore(run);
    EXPECT_TRUE(restored.AllRestored());
    EXPECT_EQ(L"a tracking cookie cannot be restored", restored.Items[0].Text);
}

TEST_F(QuarantineTest, TheRegistryEntriesAreInTheRunsUndoFileBeforeTheyGo)
{
    const std::string key = PresentKey("Undo");
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyTest\\Undo", L"Data", L"value");
    const TRunEntry run = ScanAndRepair({DefinitionText("Undo", "Spyware", "4", {key})}, 1);
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(run.Folder + L"\\" + run.Manifest.UndoFile, keys, error)) << Narrow(error);
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\SpyTest\\Undo", keys[0].Text);
    // The run's undo file is also what /restore takes.
    RestoreUndoKeys(keys);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Undo", L"Data"));
}

TEST_F(QuarantineTest, TwoRunsInOneSecondHaveTheirOwnNames)
{
    TQuarantinePlaces places = ScratchQuarantine();
    places.Now = [] { return PastTime(20); };
    TQuarantineRun first(places), second(places);
    ASSERT_EQ(std::nullopt, first.Begin());
    ASSERT_EQ(std::nullopt, second.Begin());
    EXPECT_EQ(RunNameOf(PastTime(20)), first.Name());
    EXPECT_EQ(first.Name() + L"-2", second.Name());
    EXPECT_EQ(std::optional<ULONGLONG>(FileTimeValue(PastTime(20))), RunNameTime(second.Name()));
    // Without an item a run leaves nothing behind.
    const std::wstring folder = first.Folder();
    ASSERT_TRUE(PathExists(folder));
    EXPECT_EQ(std::nullopt, first.Commit());
    EXPECT_FALSE(PathExists(folder));
    EXPECT_FALSE(first.Committed());
}

TEST_F(QuarantineTest, RegistryEntriesAreNeverRestoredThroughALink)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyTest\\Linked", L"Data", L"value");
    SetRegString(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Linked", L"C:\\linked.exe");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target", L"kept", L"precious");
    const TRunEntry run =
        ScanAndRepair({Definition("Linked", {}, {}, {"HKEY_CURRENT_USER\\Software\\SpyRun|Linked"})}, 2);
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Linked"));
    ASSERT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Linked"));
    // Since the removal, the key that held the value and a key on the way to the removed key have
    // become links to another key.
    ASSERT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\SpyRun"));
    ASSERT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\SpyTest"));
    Registry->MakeCurrentUserLink(L"Software\\SpyRun", L"Software\\Target");
    Registry->MakeCurrentUserLink(L"Software\\SpyTest", L"Software\\Target");
    ASSERT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"kept")) << "the links resolve";

    const TRestoreResult restored = Restore(run);
    ASSERT_TRUE(restored.Read) << Texts(restored);
    ASSERT_EQ(2u, restored.Items.size()) << Texts(restored);
    for (const TItemResult& item : restored.Items) {
        EXPECT_EQ(TItemResult::TKind::NotRestored, item.Kind) << Texts(restored);
        EXPECT_NE(std::wstring::npos, item.Text.find(L"registry link")) << Texts(restored);
    }
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target", L"Linked"))
        << "nothing written through a link";
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Target\\Linked")) << "nothing made through a link";
    // Both stay in the run's undo file for a restore once the links are gone.
    for (const wchar_t* link : {L"Software\\SpyRun", L"Software\\SpyTest"})
        ASSERT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, link, 0, TLinkPolicy::RemoveLinks));
    const TRestoreResult again = Restore(OnlyRun());
    EXPECT_TRUE(again.AllRestored()) << Texts(again);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Linked", L"Data"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\SpyRun", L"Linked"));
}
