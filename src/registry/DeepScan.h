#pragma once
// The deep value scan's test of one text.
#include "registry/PathJudge.h"

#include <string>

// True when the text is a full local path of a file or folder that does not exist: longer than two
// characters, none of ";,%/-|" in it, a drive letter, a colon and a backslash and no further colon, on
// a fixed drive; the text cut at a known extension is no file, and the text is no folder (without a
// three-character extension it must also hold no dot).
bool IsMissingPath(const std::wstring& text, const TPathJudge& judge);

// True when values below the key at path (below a root) are paths of another kind and are not
// judged: shell folders, per-user extensions, the user's classes, the MUI cache. Compared without
// regard to case.
bool IsExcludedDeepKey(const std::wstring& path);
