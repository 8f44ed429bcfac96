#pragma once
// Fills a language format line: %d takes an integer, %s a text, %% is a percent sign. The lines come
// from user-editable files, so a line that does not fit its arguments raises an Exception instead of
// reading past them.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using TFormatArg = std::variant<int64_t, std::wstring>;

std::wstring FormatText(const std::wstring& format, const std::vector<TFormatArg>& args);
