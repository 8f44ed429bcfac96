#pragma once
// Paths read from files a browser writes (profiles.ini, Local State) are hostile until proved inside
// their root: these are the proofs.
#include <string>

// Where the file system really finds the path lies inside root: no link on the way leads elsewhere.
bool ResolvesInside(const std::wstring& root, const std::wstring& path);
// A relative path that would leave its folder: absolute, naming a drive (or a stream), or with a step
// of dots alone (".." and what Windows, dropping a step's trailing dots and blanks, may read so).
bool ClimbsOut(const std::wstring& relative);
// A plain file (no folder, no link) whose real place lies inside root.
bool PlainFileInside(const std::wstring& root, const std::wstring& path);
// A folder, itself no link, whose real place lies inside root.
bool PlainFolderInside(const std::wstring& root, const std::wstring& path);
