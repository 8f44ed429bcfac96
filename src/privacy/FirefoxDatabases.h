#pragma once
// What each category of today's Firefox counts and deletes in a profile's databases. Every table and
// column is looked up before it is used: the schemas of Firefox's versions differ.
#include "privacy/PrivacyItems.h"

#include <cstdint>
#include <vector>

class TSqliteDatabase;
class TCookieKeepList;

// The schema name under which the History job finds favicons.sqlite attached beside places.sqlite.
inline constexpr char kFaviconsSchema[] = "favicons";

// History: pages, visits; Cookies: removed, kept; the others: one count. SQLite's result code.
int CountFirefoxJob(TDatabaseJob job, TSqliteDatabase& db, const TCookieKeepList* keepList, std::vector<int64_t>& counts);
// Deletes the job's rows inside the write transaction (History also in the attached favicons database
// when it is there).
int CleanFirefoxJob(TDatabaseJob job, TSqliteDatabase& db, const TCookieKeepList* keepList);
