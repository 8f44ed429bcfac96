#pragma once
// The category handler of today's Firefox (positions after the Chromium-based browsers): history,
// cookies, form history, sessions, cache and saved passwords of every profile, the installations'
// default profiles first. The old Firefox categories (positions 6 to 10) are a handler of their own.
#include "privacy/CategoryContext.h"

#include <string>

// key: "firefox." and the category ("history", "cookies", "formhistory", "sessions", "cache",
// "passwords").
void ScanTodaysFirefox(TCategoryContext& context, const std::wstring& key);
