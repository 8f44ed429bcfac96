#pragma once
// A privacy scene with today's browsers: the local application-data folder pointed at a scratch
// folder too, selections over every position, and what a test needs to compare files byte for byte.
#include "PrivacyFixture.h"

#include <initializer_list>
#include <map>
#include <string>

class PrivacyBrowserTest : public PrivacyTest {
protected:
    void SetUp() override;

    // Every position of the table, "1" at the given ones.
    static std::wstring AllPositions(std::initializer_list<int> positions);
    // The first position of a Chromium browser's seven (History, Downloads, Cookies, Cache, Sessions,
    // Form data, Saved passwords), by its row in the browser table.
    static int ChromiumPosition(int browser, int category) { return 33 + browser * 7 + category; }

    // Writes bytes as a whole file, making the folders above it.
    void WriteFile(const std::wstring& path, const std::string& bytes) const;
    static std::string FileBytes(const std::wstring& path);
    // The files' bytes now, and the check that they are still the same.
    static std::map<std::wstring, std::string> Snapshot(const std::vector<std::wstring>& paths);
    static void ExpectUnchanged(const std::map<std::wstring, std::string>& before);
    // The items whose line contains the text.
    std::vector<std::wstring> LinesWith(const std::wstring& text) const;

    std::wstring LocalAppData;
};
