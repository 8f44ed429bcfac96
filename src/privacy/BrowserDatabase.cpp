#include "privacy/BrowserDatabase.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/Kelvor_Routine.h"
#include "common/Sqlite.h"
#include "privacy/PrivacyPlatform.h"
#include "privacy/Processes.h"

#include <windows.h>
#include <sqlite3.h>

namespace {

bool IsBusy(int code)
{
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

int64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(0, slash + 1);
}

// "ok", or what the check found first; the statement's own error when it cannot run.
int QuickCheck(TSqliteDatabase& db, const std::string& schema, std::wstring& message)
{
    TSqliteStatement check(db, "PRAGMA " + QuotedIdentifier(schema) + ".quick_check");
    const int code = check.Step();
    if (code != SQLITE_ROW) {
        message = db.ErrorText();
        return code;
    }
    const std::string verdict = check.ColumnText(0);
    if (verdict == "ok")
        return SQLITE_OK;
    message = L"quick_check: " + Utf8ToWide(verdict);
    return SQLITE_CORRUPT;
}

void RunVacuum(TSqliteDatabase& db, const std::string& schema)
{
    TSqliteStatement vacuum(db, "VACUUM " + QuotedIdentifier(schema));
    vacuum.Run();
}

TDatabaseCleaning Failed(const std::wstring& message)
{
    return {TOutcome::Failed, message};
}

} // namespace

TDatabaseLook LookAtDatabase(const std::wstring& path, const TDatabaseCount& count)
{
    TDatabaseLook look;
    if (!FileExists(path))
        return look;
    TSqliteDatabase db;
    int code = db.Open(path);
    // The schema read first: a file that is no database, or one held, answers here.
    if (code == SQLITE_OK) {
        TSqliteStatement schema(db, "SELECT count(*) FROM sqlite_master");
        code = schema.Step() == SQLITE_ROW ? SQLITE_OK : db.ErrorCode();
    }
    if (code == SQLITE_OK)
        code = count(db, look.Counts);
    if (code == SQLITE_OK) {
        look.State = TDatabaseState::Readable;
    } else if (IsBusy(code) || (code == SQLITE_CANTOPEN && LockFileHeld(path))) {
        look.State = TDatabaseState::Held;
    } else {
        look.State = TDatabaseState::Damaged;
        look.Message = db ? db.ErrorText() : SqliteCodeText(code);
    }
    return look;
}

TDatabaseCleaning CleanDatabase(const std::wstring& path, const TDatabaseWork& work, const TPrivacyPlatform& platform,
                                const std::vector<TAttachedDatabase>& attached)
{
    if (!FileExists(path))
        return {TOutcome::AlreadyGone, {}};
    std::vector<std::pair<std::string, std::wstring>> schemas = {{"main", path}};
    // A browser that keeps its journal file between transactions (truncated, not deleted) finds it
    // still there afterwards.
    const bool journalKept = FileExists(path + L"-journal");
    TSqliteDatabase db;
    if (const int code = db.Open(path); code != SQLITE_OK)
        return code == SQLITE_CANTOPEN && LockFileHeld(path) ? TDatabaseCleaning{TOutcome::InUse, {}}
                                                              : Failed(db.ErrorText());
    if (journalKept) {
        TSqliteStatement mode(db, "PRAGMA journal_mode");
        if (mode.Step() == SQLITE_ROW && mode.ColumnText(0) != "wal") {
            TSqliteStatement truncate(db, "PRAGMA journal_mode=TRUNCATE");
            truncate.Run();
        }
    }
    // Attached only when its file is there: ATTACH would create a missing one.
    for (const TAttachedDatabase& other : attached) {
        if (!FileExists(other.Path))
            continue;
        TSqliteStatement attach(db, "ATTACH DATABASE ?1 AS " + QuotedIdentifier(other.Schema));
        if (attach.Bind(1, std::wstring_view(other.Path)).Run() != SQLITE_DONE)
            return IsBusy(db.ErrorCode()) ? TDatabaseCleaning{TOutcome::InUse, {}} : Failed(db.ErrorText());
        schemas.emplace_back(other.Schema, other.Path);
    }
    {
        TSqliteTransaction transaction(db);
        if (IsBusy(transaction.BeginCode()))
            return {TOutcome::InUse, {}};
        if (!transaction.Active())
            return Failed(db.ErrorText());
        for (const auto& [schema, file] : schemas) {
            std::wstring message;
            if (const int code = QuickCheck(db, schema, message); code != SQLITE_OK)
                return IsBusy(code) ? TDatabaseCleaning{TOutcome::InUse, {}} : Failed(message);
        }
        if (const int code = work(db); code != SQLITE_OK)
            return IsBusy(code) ? TDatabaseCleaning{TOutcome::InUse, {}} : Failed(db.ErrorText());
        if (const int code = transaction.Commit(); code != SQLITE_OK)
            return IsBusy(code) ? TDatabaseCleaning{TOutcome::InUse, {}} : Failed(db.ErrorText());
    }
    // The deleted rows' pages are given back to the drive only when a copy of the database fits.
    for (const auto& [schema, file] : schemas) {
        const auto size = static_cast<uint64_t>(FileSize(file));
        if (platform.FreeBytes && platform.FreeBytes(FolderOf(file)) >= 2 * size)
            RunVacuum(db, schema);
    }
    return {TOutcome::Removed, {}};
}

bool HasSqliteHeader(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char header[16] = {};
    DWORD read = 0;
    return file && ReadFile(file.Get(), header, sizeof header, &read, nullptr) && read == sizeof header &&
           std::string(header, sizeof header) == std::string("SQLite format 3\0", 16);
}
