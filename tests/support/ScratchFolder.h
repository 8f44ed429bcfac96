#pragma once
// A scratch folder on C: named after the test program, so that what a crashed run left is emptied by
// the next run of the same program; removed afterwards without following links.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name = L"scratch");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Full path, without trailing backslash.
    const std::wstring& Path() const { return Path_; }
    std::wstring operator/(const std::wstring& relative) const { return Path_ + L"\\" + relative; }

    // Creates the folder and its parents; returns the full path.
    std::wstring MakeFolder(const std::wstring& relative) const;
    // Creates a file of the given size whose last modification lies ageDays days (may be fractional)
    // before now; returns the full path.
    std::wstring MakeFile(const std::wstring& relative, uint64_t size = 0, double ageDays = 0) const;
    // Creates a file of the given size without writing its bytes (sparse on the Unix side), for sizes
    // beyond what a test should write; returns the full path.
    std::wstring MakeSparseFile(const std::wstring& relative, uint64_t size) const;

private:
    std::wstring Path_;
};

// The running test program's file name without folder and extension ("test_common").
std::wstring TestProgramName();
// C:\BrisfoldTest-<program>: the parent of the program's scratch folders.
std::wstring ScratchRoot();

// Sets a file's last-modification time to ageDays before now.
void SetFileAge(const std::wstring& path, double ageDays);
bool PathExists(const std::wstring& path);
// Removes a folder tree; links inside it are removed as links (their targets are left alone).
void RemoveTree(const std::wstring& path);
// Writes the bytes as the whole content of the file (created or replaced).
void WriteTextFile(const std::wstring& path, const std::string& bytes);
// The names of the files (not the folders) right inside a folder, in the order the system lists them.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
