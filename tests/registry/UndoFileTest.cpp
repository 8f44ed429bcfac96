// The undo file: what it holds, how it is named, and how the program's own reader brings it back.
#include "RegistryFixture.h"

#include "registry/UndoFile.h"

#include <fstream>
#include <cstring>
#include <iterator>

namespace {

class UndoFile : public RegistryFixture {};

std::vector<BYTE> Raw(std::initializer_list<int> bytes)
{
    std::vector<BYTE> raw;
    for (int b : bytes)
        raw.push_back(static_cast<BYTE>(b));
    return raw;
}

std::string FileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TypedValue {
    const wchar_t* Name;
    DWORD Type;
    std::vector<BYTE> Bytes;
};

// Values of every type, and names and data whose text form an import would not read back as they are.
std::vector<TypedValue> EveryKindOfValue()
{
    std::vector<BYTE> longBinary(5000);
    for (size_t i = 0; i < longBinary.size(); ++i)
        longBinary[i] = static_cast<BYTE>(i * 31);
    return {
        {L"plain", REG_SZ, TextBytes(L"C:\\path \"quoted\" [x] =y; 100%")},
        {L"embedded null", REG_SZ, TextBytes(std::wstring(L"a\0b", 3))},
        {L"odd size", REG_SZ, Raw({0x41, 0x00, 0x42})},
        {L"no bytes", REG_SZ, {}},
        {L"empty text", REG_SZ, TextBytes(L"")},
        {L"unterminated", REG_SZ, TextBytes(L"abc", false)},
        {L"line break", REG_SZ, TextBytes(L"line1\r\nline2")},
        {L"lone surrogate", REG_SZ, TextBytes(std::wstring(1, wchar_t(0xD800)) + L"x")},
        {L"pair", REG_SZ, TextBytes(L"\U0001F600 Z\u00fcrich")},
        {L"expand", REG_EXPAND_SZ, TextBytes(L"%SystemRoot%\\x.dll")},
        {L"multi", REG_MULTI_SZ, TextBytes(std::wstring(L"a\0b\0", 4))},
        {L"qword", REG_QWORD, Raw({1, 2, 3, 4, 5, 6, 7, 0x80})},
        {L"none", REG_NONE, Raw({1, 2, 3})},
        {L"none empty", REG_NONE, {}},
        {L"dword", REG_DWORD, Raw({0x0a, 0, 0, 0})},
        {L"short dword", REG_DWORD, Raw({1, 2, 3})},
        {L"big endian", REG_DWORD_BIG_ENDIAN, Raw({0, 0, 0, 1})},
        {L"long binary", REG_BINARY, longBinary},
        {L"empty binary", REG_BINARY, {}},
        {L"odd type", 0x12345, Raw({9, 8, 7})},
        {L"a\\b\"c", REG_SZ, TextBytes(L"name with escapes")},
        {L"@", REG_SZ, TextBytes(L"a value named @")},
        {L"[x]=y", REG_SZ, TextBytes(L"brackets and equals")},
    };
}

void PlantEveryKind(HKEY root, const std::wstring& key)
{
    for (const TypedValue& value : EveryKindOfValue())
        SetRegValue(root, key, value.Name, value.Type, value.Bytes);
}

} // namespace

TEST_F(UndoFile, RepairThenRestoreBringsBackEveryValueByteForByte)
{
    // A program identifier with an empty default and one subkey: a finding with a whole tree below it.
    const std::wstring progId = L"CLSID\\{RT}\\ProgID";
    SetDefaultText(HKEY_CLASSES_ROOT, progId, L"");
    PlantEveryKind(HKEY_CLASSES_ROOT, progId + L"\\Nested");
    PlantEveryKind(HKEY_CLASSES_ROOT, progId + L"\\Nested\\Deeper \"odd\" [name]");
    CreateRegKey(HKEY_CLASSES_ROOT, progId + L"\\Nested\\Empty");
    OnlyComAndTypeLibraries();
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 1);
    const RegTree before = Snapshot(HKEY_CLASSES_ROOT);
    ASSERT_EQ(List.SubItem(0, 1), L"HKEY_CLASSES_ROOT\\" + progId);
    RunRepair(*scanner);
    ASSERT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    ASSERT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, progId));

    // The file: in the backup folder, UTF-16LE with a byte-order mark and the export header.
    ASSERT_FALSE(scanner->LastUndoFile.empty()) << Narrow(scanner->LastUndoError);
    EXPECT_EQ(scanner->LastUndoFile.rfind(scanner->BackupFolder(), 0), 0u) << Narrow(scanner->LastUndoFile);
    const std::string bytes = FileBytes(scanner->LastUndoFile);
    ASSERT_GT(bytes.size(), 80u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    EXPECT_EQ(text.rfind(L"Windows Registry Editor Version 5.00\r\n\r\n", 0), 0u);
    // Text only where it comes back exactly; raw bytes otherwise.
    EXPECT_NE(text.find(L"\"plain\"=\"C:\\\\path \\\"quoted\\\" [x] =y; 100%\""), std::wstring::npos);
    EXPECT_NE(text.find(L"\"odd size\"=hex(1):41,00,42"), std::wstring::npos);
    EXPECT_NE(text.find(L"\"no bytes\"=hex(1):\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\"empty text\"=\"\""), std::wstring::npos);
    EXPECT_NE(text.find(L"\"dword\"=dword:0000000a"), std::wstring::npos);
    EXPECT_NE(text.find(L"\"a\\\\b\\\"c\"=\"name with escapes\""), std::wstring::npos);
    EXPECT_NE(text.find(L"\"odd type\"=hex(12345):09,08,07"), std::wstring::npos);

    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(scanner->LastUndoFile, keys, error)) << Narrow(error);
    EXPECT_EQ(keys.size(), 4u) << "the finding's key and the three below it";
    const TRestoreReport restored = RestoreUndoKeys(keys);
    EXPECT_TRUE(restored.Failures.empty());
    EXPECT_EQ(restored.Keys, 4);
    EXPECT_EQ(restored.Values, 1 + 2 * static_cast<int>(EveryKindOfValue().size()));
    EXPECT_EQ(Differences(before, Snapshot(HKEY_CLASSES_ROOT)), std::vector<std::string>{});
}

TEST_F(UndoFile, ANewFileEveryTimeNeverReplacingOne)
{
    const std::wstring folder = Files->MakeFolder(L"undo");
    // Files already named for this second and the next two.
    std::vector<std::wstring> taken;
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME time;
    SystemTimeToFileTime(&now, &time);
    for (int s = 0; s < 3; ++s) {
        ULARGE_INTEGER at{{time.dwLowDateTime, time.dwHighDateTime}};
        at.QuadPart += static_cast<ULONGLONG>(s) * 10000000ULL;
        FILETIME shifted{at.LowPart, at.HighPart};
        SYSTEMTIME t;
        FileTimeToSystemTime(&shifted, &t);
        wchar_t name[64];
        swprintf(name, 64, L"Registry %04u-%02u-%02u %02u%02u%02u.reg", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond);
        taken.push_back(folder + L"\\" + name);
        WriteTextFile(taken.back(), "taken");
    }
    std::wstring first, second, error;
    ASSERT_TRUE(WriteUndoFile(folder, L"one", first, error)) << Narrow(error);
    ASSERT_TRUE(WriteUndoFile(folder, L"two", second, error)) << Narrow(error);
    EXPECT_NE(first, second);
    for (const std::wstring& path : taken) {
        EXPECT_NE(path, first);
        EXPECT_EQ(FileBytes(path), "taken") << Narrow(path);
    }
    EXPECT_EQ(FileBytes(first), std::string("\xFF\xFEo\0n\0e\0", 8));
    // A folder that is missing is made; one that cannot be made is an error and leaves no file.
    std::wstring made;
    EXPECT_TRUE(WriteUndoFile(folder + L"\\a\\b", L"x", made, error)) << Narrow(error);
    WriteTextFile(folder + L"\\file", "x");
    std::wstring none;
    EXPECT_FALSE(WriteUndoFile(folder + L"\\file\\below", L"x", none, error));
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(error.empty());
}

TEST_F(UndoFile, ReaderAcceptsTheExportFormsAndRejectsDamage)
{
    const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n";
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ParseUndoText(header +
                                  L"; a comment\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n@=\"d\"\r\n"
                                  L"\"n\"=hex(7):61,00,\\\r\n  00,00\r\n\"x\"=dword:A\n\n[HKEY_USERS\\S]\r\n"
                                  L"\"e\"=hex:\r\n\"s\"=\"a\\\\b\\\"\"  \r\n",
                              keys, error))
        << Narrow(error);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].Root, HKEY_CURRENT_USER);
    EXPECT_EQ(keys[0].Path, L"Software\\A");
    ASSERT_EQ(keys[0].Values.size(), 3u);
    EXPECT_EQ(keys[0].Values[0].Value.Data, TextBytes(L"d"));
    EXPECT_EQ(keys[0].Values[1].Value.Type, DWORD(REG_MULTI_SZ));
    EXPECT_EQ(keys[0].Values[1].Value.Data, Raw({0x61, 0, 0, 0}));
    EXPECT_EQ(keys[0].Values[2].Value.Data, Raw({0x0a, 0, 0, 0}));
    EXPECT_EQ(keys[1].Root, HKEY_USERS);
    EXPECT_TRUE(keys[1].Values[0].Value.Data.empty());
    EXPECT_EQ(keys[1].Values[1].Value.Data, TextBytes(L"a\\b\""));

    const struct {
        std::wstring Text;
        const char* Line;
    } damaged[] = {
        {L"REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n", "first line"},
        {header + L"\"v\"=\"x\"\r\n", "line 3"},
        {header + L"[HKEY_NOWHERE\\A]\r\n", "line 3"},
        {header + L"[-HKEY_CURRENT_USER\\A]\r\n", "delete a key"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=-\r\n", "delete a value"},
        {header + L"[HKEY_CURRENT_USER\\A\r\n", "line 3"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:0g\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:001\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:00,,01\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex(7:00\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:00,\\", "ends inside"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"open\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"a\\nb\"\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"a\" b\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:123456789\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\" \"x\"\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\n\"v\"=str(2):\"x\"\r\n", "line 4"},
        {header + L"[HKEY_CURRENT_USER\\A]\r\nstray text\r\n", "line 4"},
        {L"", "first line"},
    };
    for (const auto& c : damaged) {
        SCOPED_TRACE(Narrow(c.Text));
        keys.assign(1, TUndoKey{});
        error.clear();
        EXPECT_FALSE(ParseUndoText(c.Text, keys, error));
        EXPECT_TRUE(keys.empty()) << "nothing of a damaged file is kept";
        EXPECT_NE(Narrow(error).find(c.Line), std::string::npos) << Narrow(error);
    }
}

TEST_F(UndoFile, ReaderRejectsFilesThatAreNotUndoFiles)
{
    const struct {
        std::string Bytes;
        const char* Reason;
    } cases[] = {
        {"Windows Registry Editor Version 5.00\r\n", "byte-order mark"},
        {std::string("\xFF\xFEW\0i\0n", 7), "byte-order mark"}, // an odd number of bytes
        {"", "byte-order mark"},
    };
    for (const auto& c : cases) {
        const std::wstring path = *Files / L"bad.reg";
        WriteTextFile(path, c.Bytes);
        std::vector<TUndoKey> keys;
        std::wstring error;
        EXPECT_FALSE(ReadUndoFile(path, keys, error));
        EXPECT_NE(Narrow(error).find(c.Reason), std::string::npos) << Narrow(error);
    }
    std::vector<TUndoKey> keys;
    std::wstring error;
    EXPECT_FALSE(ReadUndoFile(*Files / L"no such file.reg", keys, error));
    EXPECT_NE(error.find(L"cannot be opened"), std::wstring::npos) << Narrow(error);
}

TEST_F(UndoFile, NothingIsRestoredThroughARegistryLink)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target", L"top", L"precious");
    Registry->MakeCurrentUserLink(L"Software\\Pest", L"Software\\Target");
    ASSERT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Pest", L"top")) << "the link resolves";
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ParseUndoText(L"Windows Registry Editor Version 5.00\r\n\r\n"
                              L"[HKEY_CURRENT_USER\\Software\\Pest\\Deep]\r\n\"run\"=\"pest.exe\"\r\n\r\n"
                              L"[HKEY_CURRENT_USER\\Software\\Pest]\r\n\"top\"=\"changed\"\r\n\r\n"
                              L"[HKEY_CURRENT_USER\\Software\\Plain\\Deep]\r\n\"kept\"=\"back\"\r\n",
                              keys, error))
        << Narrow(error);
    ASSERT_EQ(3u, keys.size());

    const TRestoreReport restored = RestoreUndoKeys(keys);
    ASSERT_EQ(2u, restored.Failures.size());
    for (const std::wstring& failure : restored.Failures)
        EXPECT_NE(std::wstring::npos, failure.find(L"registry link")) << Narrow(failure);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Target\\Deep")) << "nothing made through the link";
    TRegKey target;
    ASSERT_EQ(ERROR_SUCCESS, target.Open(HKEY_CURRENT_USER, L"Software\\Target"));
    std::wstring top;
    ASSERT_EQ(ERROR_SUCCESS, target.ReadString(L"top", top));
    EXPECT_EQ(L"precious", top) << "nothing written through the link";
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Plain\\Deep", L"kept"))
        << "a plain place still comes back";
    EXPECT_EQ(1, restored.Keys);
}
