#pragma once
// The two windows with the options: the findings menu's launcher injected (an Explorer or a registry
// editor left running would keep the system busy), and helpers that read the files back the way the
// scanners do.
#include "AppFixture.h"
#include "ModalDriver.h"

#include "app/OptionTexts.h"
#include "common/Types.h"

#include <string>
#include <utility>
#include <vector>

class OptionsFixture : public AppFixture {
protected:
    // StartProgram, with the launcher of "Open location" replaced by one that records.
    void Start();
    // A section as the INI service reads it back, line by line.
    static TWideStrings Section(const std::wstring& file, const std::wstring& section);
    static std::string Bytes(const std::wstring& path);
    // Selects exactly these rows.
    static void Select(TListView& list, const std::vector<int>& rows);
    // Rows added to the registry list the way its scanner adds them, counted on the main window.
    void ShowRegistryRows(const std::vector<std::vector<std::wstring>>& keyValueData);
    // The last message shown, or empty.
    std::wstring LastMessage() const;

    std::vector<std::pair<std::wstring, std::wstring>> Launched; // program, parameters
};

// A line of section "M_Options".
std::wstring Opt(int line);
// The text of a result line for count findings.
std::wstring ResultText(int count);
