// Holds a database the way a running browser does: exclusive locking mode, the write lock taken and
// kept. Signals the named event once it holds the lock, then waits until it is ended.
//   privacy_holder.exe <database> <event name>
#include "common/Sqlite.h"

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    TSqliteDatabase db;
    if (db.Open(argv[1]) != 0 || db.Execute("PRAGMA locking_mode=EXCLUSIVE") != 0 ||
        db.Execute("BEGIN EXCLUSIVE") != 0 || db.Execute("COMMIT") != 0)
        return 1;
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready)
        return 1;
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
