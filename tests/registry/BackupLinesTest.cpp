// The registry-export lines that describe each finding.
#include "RegistryFixture.h"

#include "registry/BackupLines.h"

namespace {

std::vector<BYTE> Bytes(size_t count)
{
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 1);
    return bytes;
}

std::wstring Pairs(size_t from, size_t to)
{
    std::wstring text;
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    for (size_t i = from; i < to; ++i) {
        const BYTE b = static_cast<BYTE>(i * 7 + 1);
        text += std::wstring{kDigits[b >> 4], kDigits[b & 15]} + (i + 1 < to ? L"," : L"");
    }
    return text;
}

} // namespace

TEST(BackupLines, EachForm)
{
    const std::wstring key = L"HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32";
    const struct {
        TBackupEntry Entry;
        std::vector<std::wstring> Lines;
    } cases[] = {
        {{.KeyPath = key}, {L"[" + key + L"]"}},
        {{.KeyPath = key, .Form = TBackupForm::DefaultText, .Data = L"C:\\x\\a.dll", .EscapeData = true},
         {L"[" + key + L"]", L"@=\"C:\\\\x\\\\a.dll\""}},
        {{.KeyPath = key, .Form = TBackupForm::DefaultText, .Data = L"C:\\x\\a.dll"},
         {L"[" + key + L"]", L"@=\"C:\\x\\a.dll\""}},
        {{.KeyPath = key, .Form = TBackupForm::NamedText, .Name = L"a\\b", .Data = L"C:\\d"},
         {L"[" + key + L"]", L"\"a\\b\"=\"C:\\d\""}},
        {{.KeyPath = key, .Form = TBackupForm::NamedText, .Name = L"a\\b", .EscapeName = true, .Data = L"C:\\d",
          .EscapeData = true},
         {L"[" + key + L"]", L"\"a\\\\b\"=\"C:\\\\d\""}},
        {{.KeyPath = key, .Form = TBackupForm::QuotedNamed, .Name = L"UninstallString", .Data = L"C:\\u.exe",
          .EscapeData = true},
         {L"[" + key + L"]", L"\"UninstallString\"=\"\\\"C:\\\\u.exe\\\"\""}},
        {{.KeyPath = key, .Form = TBackupForm::EmptyData, .Name = L"Run me"},
         {L"[" + key + L"]", L"\"Run me\"=\"\""}},
        {{.KeyPath = key, .Form = TBackupForm::Dword, .Name = L"C:\\a.dll", .Number = 10},
         {L"[" + key + L"]", L"\"C:\\a.dll\"=dword:0000000A"}},
        {{.KeyPath = key, .Form = TBackupForm::Dword, .Name = L"n", .Number = 0xDEADBEEF},
         {L"[" + key + L"]", L"\"n\"=dword:DEADBEEF"}},
        {{.KeyPath = key, .Form = TBackupForm::Binary, .Name = L"b", .Bytes = {0x0a, 0xff, 0x00}},
         {L"[" + key + L"]", L"\"b\"=hex:0A,FF,00"}},
        {{.KeyPath = key, .Form = TBackupForm::Binary, .Name = L"b"}, {L"[" + key + L"]", L"\"b\"=hex:"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BackupLinesFor(c.Entry), c.Lines) << Narrow(c.Lines.back());
}

TEST(BackupLines, BinaryBreaksAfterTheCommaFollowingEveryTwentyFifthByte)
{
    // 26 bytes: byte 25 is the last, no comma follows it and nothing is inserted.
    EXPECT_EQ(BinaryBytes(Bytes(26)), Pairs(0, 26));
    // 27 bytes: one break, after the comma that follows byte 25.
    EXPECT_EQ(BinaryBytes(Bytes(27)), Pairs(0, 26) + L",\\\r" + Pairs(26, 27));
    // 52 bytes: breaks after bytes 25 and 50.
    EXPECT_EQ(BinaryBytes(Bytes(52)), Pairs(0, 26) + L",\\\r" + Pairs(26, 51) + L",\\\r" + Pairs(51, 52));
    EXPECT_EQ(BinaryBytes(Bytes(1)), L"01");
    EXPECT_EQ(BinaryBytes({}), L"");
}
