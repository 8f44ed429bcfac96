#pragma once
#include <atomic>
#include <string>
#include <vector>

// Lists of texts: wide for what the program shows, 8-bit for the definition texts.
using TWideStrings = std::vector<std::wstring>;
using TAnsiStrings = std::vector<std::string>;

// A stop request written by one thread and polled by another.
using TStopFlag = std::atomic<unsigned char>;
