#pragma once
// JSON files that other programs write (a browser's "Local State" and "Bookmarks"), read whole and
// judged before they are trusted: a file too large, nested too deep or not JSON counts as damaged.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int64_t kMaxJsonFileSize = 64ll * 1024 * 1024;
inline constexpr size_t kMaxJsonDepth = 200;

enum class TJsonStatus {
    Missing, // no such file
    Damaged, // unreadable, too large, too deep, or not JSON
    Read,
};

struct TJsonFile {
    TJsonStatus Status = TJsonStatus::Missing;
    nlohmann::json Value;
};

TJsonFile ReadJsonFile(const std::wstring& path);
// Parses text that has passed the depth check; Damaged for anything that is not JSON.
TJsonFile ParseJson(std::string_view text);
// True when no array or object in the text lies deeper than maxDepth (strings are skipped, escapes
// included). Looked at in one pass, before a parser sees the text.
bool JsonDepthWithin(std::string_view text, size_t maxDepth = kMaxJsonDepth);
