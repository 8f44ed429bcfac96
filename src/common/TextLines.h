#pragma once
#include "common/Types.h"

#include <string>

// Splits 8-bit text into lines: a line ends at CR LF, a lone CR or a lone LF; a last line without an
// end is kept.
TAnsiStrings SplitLines(const std::string& text);
