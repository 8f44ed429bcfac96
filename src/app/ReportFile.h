#pragma once
// The file a JSON report goes to. It is checked before anything is scanned or repaired (a report that
// cannot be written ends the command before it changes the machine), written into a temporary file
// beside it and moved into place whole, so that a reader never sees half a report.
#include "common/Handles.h"

#include <string>

class TReportFile {
public:
    TReportFile() = default;
    ~TReportFile();
    TReportFile(const TReportFile&) = delete;
    TReportFile& operator=(const TReportFile&) = delete;

    // Takes the report's path (made full), checks that it can be written and creates the temporary file
    // beside it. Empty when it can; else why not.
    std::wstring Prepare(const std::wstring& path);
    // Writes the bytes into the temporary file and moves it onto the report's path (replacing an
    // earlier report). Empty when done; else why not, and the temporary file is gone.
    std::wstring Commit(const std::string& bytes);

    const std::wstring& Path() const { return Path_; }
    const std::wstring& TemporaryPath() const { return Temporary_; }

private:
    void Discard();

    std::wstring Path_;
    std::wstring Temporary_;
    THandle File_;
};
