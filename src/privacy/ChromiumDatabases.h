#pragma once
// What each category of a Chromium-based browser counts and deletes in its databases. Every table is
// looked up before it is used (the browsers' versions differ); the statements carry no text of ours
// but bound parameters and the names of tables the database itself lists.
#include "privacy/PrivacyItems.h"

#include <cstdint>
#include <vector>

class TSqliteDatabase;
class TCookieKeepList;
struct TBookmarks;

struct TChromiumJobContext {
    const TBookmarks* Bookmarks = nullptr;    // History and Favicons
    const TCookieKeepList* KeepList = nullptr; // Cookies
};

// The counts the report shows, in the order of the job's language line (History: pages, visits;
// Cookies: removed, kept; the others: one count). SQLite's result code.
int CountChromiumJob(TDatabaseJob job, TSqliteDatabase& db, const TChromiumJobContext& context,
                     std::vector<int64_t>& counts);
// Deletes the job's rows; run inside the write transaction. SQLite's result code.
int CleanChromiumJob(TDatabaseJob job, TSqliteDatabase& db, const TChromiumJobContext& context);
