#pragma once
// The two windows run against a scratch program folder (Def.dbd, Language\English.lng), a scratch
// registry, a scratch application-data folder holding Main.ini and a scratch temporary folder.
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "common/Registry.h"
#include "common/Settings.h"
#include "support/ScratchDrive.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct TShownMessage {
    std::wstring Text;
    std::wstring Caption;
    UINT Flags;
};

class AppFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Def.dbd with one definition naming `present` existing HKEY_CURRENT_USER keys and one absent key.
    void WriteDefinitions(int present);
    // Def.dbd with one definition whose [Reg] section holds these lines ("ROOT\key=", "ROOT\key|value=").
    void WriteDefinitionEntries(const std::string& reg);
    void WriteCorruptDefinitions();
    void RemoveLanguageFiles();
    // Puts the shipped language file name ("German.lng") beside the program.
    void CopyLanguageFile(const std::wstring& name);
    void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // Creates both windows (hidden) the way the program does; the start timer is left as it is.
    void StartProgram();
    // Runs "Start Scan" now, with the start timer switched off first.
    void ScanNow();
    std::wstring PresentKey(int i) const;
    // What the scan run gets instead of the machine's own places: no pacing, a Windows folder on a drive
    // of the suite's own (the privacy sweeper's application traces and the junk-file walk look there),
    // none of the shared URL cache's entries for the privacy sweeper, and scratch folders for the
    // quarantine.
    void UseStandIns(TScanRun& run) const;
    // Scratch keys below the redirected registry stand in for the two roots whose policy values the
    // program reads: no test writes the real Policies keys. UseStandIns hands them to the scan run.
    TPolicyRoots PolicyRoots() const { return {MachinePolicy_.Handle(), UserPolicy_.Handle()}; }
    void SetPolicy(bool machine, const std::wstring& section, const std::wstring& name, DWORD value) const;
    void SetPolicy(bool machine, const std::wstring& section, const std::wstring& name, const std::wstring& text) const;
    // The quarantine's stand-in places: a scratch ProgramData and local application-data folder, and a
    // process that is not elevated.
    TQuarantinePlaces ScratchQuarantine() const;

    ScratchRegistry Registry;
    ScratchFolder Folder{L"app"};
    std::wstring ProgramDir; // with trailing backslash
    std::wstring SettingsDir;
    std::wstring TempDir;
    std::wstring WindowsDir; // the stand-in Windows folder
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<TW_Details> Details;
    std::vector<TShownMessage> Messages;
    int QuitRequests = 0;
    std::vector<std::wstring> OpenedUrls;
    std::vector<int> RowsStarted;

private:
    void SetPolicyValue(bool machine, const std::wstring& section, const std::wstring& name, DWORD type,
                        const void* data, DWORD size) const;
    TRegKey MachinePolicy_, UserPolicy_;
    std::wstring SavedTmp_, SavedTemp_;
    static std::unique_ptr<ScratchFolder> DriveFolder_;
    static std::unique_ptr<ScratchDrive> Drive_;
};

std::wstring Lng(const std::wstring& section, int index);
// True when the console's standard output holds nothing but the one summary line with this status:
// what a command that ended early prints.
bool OnlySummaryLine(const std::wstring& out, int status);
