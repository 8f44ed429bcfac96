#pragma once
// A browser's database, looked at by the scan and cleaned by the repair under one set of rules:
// opened read-write with SQLite (which recovers a hot journal or checkpoints a WAL file, so none is
// ever deleted by hand, and none is left where there was none), never waited for, never written while
// another process holds it or when SQLite calls it damaged, rows deleted in one transaction, and
// compacted only when the drive has room for it. The file itself is never deleted: a journal left
// beside a deleted database would later be paired with a new one.
#include "common/RepairOutcome.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TSqliteDatabase;
struct TPrivacyPlatform;

enum class TDatabaseState {
    Missing,  // no such file
    Readable, // counted
    Held,     // another connection holds it
    Damaged,  // not a database, or corrupt
};

struct TDatabaseLook {
    TDatabaseState State = TDatabaseState::Missing;
    std::wstring Message; // SQLite's, when damaged
    std::vector<int64_t> Counts;
};

// Counts what a category would remove (reads only); returns SQLite's result code.
using TDatabaseCount = std::function<int(TSqliteDatabase& db, std::vector<int64_t>& counts)>;
// Deletes the category's rows inside the open write transaction; returns SQLite's result code.
using TDatabaseWork = std::function<int(TSqliteDatabase& db)>;

TDatabaseLook LookAtDatabase(const std::wstring& path, const TDatabaseCount& count);

struct TDatabaseCleaning {
    TOutcome Outcome = TOutcome::Failed;
    std::wstring Message; // SQLite's, when it failed
};

// A second database that the work needs beside the first (Firefox's favicons beside its places),
// attached under a schema name when its file is there, and held to the same rules.
struct TAttachedDatabase {
    const char* Schema;
    std::wstring Path;
};

// Removed when the work was committed; InUse when another connection holds the database; Failed (with
// SQLite's message) when it is damaged or the work fails, and then nothing was written.
TDatabaseCleaning CleanDatabase(const std::wstring& path, const TDatabaseWork& work, const TPrivacyPlatform& platform,
                                const std::vector<TAttachedDatabase>& attached = {});

// True when the file begins with SQLite's header ("SQLite format 3").
bool HasSqliteHeader(const std::wstring& path);
