#pragma once
#include "common/Types.h"

#include <string>

// Helpers for the 8-bit definition texts.

// Splits 8-bit text into lines: a line ends at CR LF, a lone CR or a lone LF; a last line without an
// end is kept.
TAnsiStrings SplitLines(const std::string& text);

// Upper-cases the ASCII letters only, as the definition and INI lookups compare.
std::string AsciiUpper(std::string text);
