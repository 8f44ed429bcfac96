// The manifest's lines: every kind of item written and read back as it was, whatever its texts hold,
// and each line that does not parse reported and skipped.
#include "quarantine/Manifest.h"

#include <gtest/gtest.h>

namespace {

TQuarantineItem FileItem(int number)
{
    TQuarantineItem item;
    item.Number = number;
    item.Kind = TItemKind::File;
    item.Path = L"C:\\Program Files\\Pest\\pest %41\tx.exe";
    item.Real = L"C:\\Program Files\\Pest\\pest %41\tx.exe";
    item.Size = 0xFFFFFFFFFFULL;
    item.Created = 1;
    item.Accessed = 2;
    item.Written = 0xFFFFFFFFFFFFFFFFULL;
    item.Attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
    item.Sha256 = std::wstring(64, L'a');
    item.Sddl = L"O:BAG:SYD:PAI(A;;FA;;;SY)";
    item.OtherVolume = true;
    item.Definition = L"Pest\r\nLine two";
    item.Risk = L"100% risky";
    return item;
}

std::wstring Text(const std::vector<TQuarantineItem>& items, const std::wstring& marks = {})
{
    TManifest head;
    head.Name = L"20260105-093000";
    head.Started = 133000000000000000ULL;
    head.UndoFile = L"Registry 2026-01-05 093000.reg";
    std::wstring text = ManifestHead(head);
    for (const TQuarantineItem& item : items)
        text += ItemLine(item);
    return text + marks;
}

} // namespace

TEST(Manifest, EveryKindComesBackAsItWasWritten)
{
    TQuarantineItem folder = FileItem(2);
    folder.Kind = TItemKind::Folder;
    folder.Sha256.clear();
    folder.Size = 0;
    folder.OtherVolume = false;
    TQuarantineItem key;
    key.Number = 3;
    key.Kind = TItemKind::Key;
    key.Path = L"HKEY_CURRENT_USER\\Software\\Pest";
    key.Root = L"HKEY_CURRENT_USER";
    key.Key = L"Software\\Pest";
    TQuarantineItem value = key;
    value.Number = 4;
    value.Kind = TItemKind::Value;
    value.Value = L"Run=\tme";
    TQuarantineItem cookie;
    cookie.Number = 5;
    cookie.Kind = TItemKind::Cookie;
    cookie.Path = L"Cookie:user@tracker.test/";
    const std::vector<TQuarantineItem> items = {FileItem(1), folder, key, value, cookie, FileItem(6)};

    TManifest manifest;
    std::wstring error;
    ASSERT_TRUE(ParseManifest(Text(items, DoneLine(1, std::wstring(64, L'b')) + LeftLine(3, L"refused: a link") +
                                              RestoredLine(4)),
                              manifest, error))
        << testing::PrintToString(error);
    EXPECT_TRUE(manifest.Damaged.empty()) << testing::PrintToString(manifest.Damaged);
    EXPECT_EQ(L"20260105-093000", manifest.Name);
    EXPECT_EQ(133000000000000000ULL, manifest.Started);
    EXPECT_EQ(L"Registry 2026-01-05 093000.reg", manifest.UndoFile);
    ASSERT_EQ(items.size(), manifest.Items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const TQuarantineItem& in = items[i];
        const TQuarantineItem& out = manifest.Items[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(in.Number, out.Number);
        EXPECT_EQ(in.Kind, out.Kind);
        EXPECT_EQ(in.Path, out.Path);
        EXPECT_EQ(in.Real, out.Real);
        EXPECT_EQ(in.Size, out.Size);
        EXPECT_EQ(in.Created, out.Created);
        EXPECT_EQ(in.Accessed, out.Accessed);
        EXPECT_EQ(in.Written, out.Written);
        EXPECT_EQ(in.Attributes, out.Attributes);
        EXPECT_EQ(in.Sha256, out.Sha256);
        EXPECT_EQ(in.Sddl, out.Sddl);
        EXPECT_EQ(in.OtherVolume, out.OtherVolume);
        EXPECT_EQ(in.Root, out.Root);
        EXPECT_EQ(in.Key, out.Key);
        EXPECT_EQ(in.Value, out.Value);
        EXPECT_EQ(in.Definition, out.Definition);
        EXPECT_EQ(in.Risk, out.Risk);
    }
    EXPECT_TRUE(manifest.Items[0].Done);
    EXPECT_EQ(std::wstring(64, L'b'), manifest.Items[0].ExpectedSha256());
    EXPECT_EQ(std::wstring(64, L'a'), manifest.Items[5].ExpectedSha256()) << "not marked done: as planned";
    EXPECT_TRUE(manifest.Items[2].Left);
    EXPECT_EQ(L"refused: a link", manifest.Items[2].LeftText);
    EXPECT_TRUE(manifest.Items[3].Restored);
    EXPECT_FALSE(manifest.Items[4].Restorable());
    EXPECT_EQ(L"1.quarantined", manifest.Items[0].PlaceName());
}

TEST(Manifest, ALineThatDoesNotParseIsReportedAndSkipped)
{
    struct TCase {
        const wchar_t* Line;
        const wchar_t* Why;
    };
    const TCase cases[] = {
        {L"item\tn=7\tkind=file\tpath=C:\\x.exe\treal=C:\\x.exe\tsize=1\tsha256=%zz\tattributes=32", L"a field that is not key=value"},
        {L"item\tn=7\tkind=file\tpath=C:\\x.exe\tpath=C:\\y.exe", L"a field given twice"},
        {L"item\tkind=file\tpath=C:\\x.exe", L"an item without a number"},
        {L"item\tn=99999999999999999999999\tkind=file\tpath=C:\\x.exe", L"an item without a number"},
        {L"item\tn=7\tkind=device\tpath=C:\\x.exe", L"an item of an unknown kind"},
        {L"item\tn=7\tkind=file\tpath=C:\\x.exe\treal=C:\\x.exe\tattributes=32\tsize=1\tsha256=short",
         L"a file without its size or SHA-256"},
        {L"item\tn=7\tkind=folder\tpath=C:\\x", L"a file or folder without its place or attributes"},
        {L"item\tn=7\tkind=key\tpath=HKEY_CURRENT_USER\\x", L"a registry entry without its key"},
        {L"item\tn=1\tkind=cookie\tpath=Cookie:x", L"a second item numbered 1"},
        {L"done\tn=8", L"a line about no item of this run"},
        {L"done\tn=1\tsha256=not-a-hash", L"a SHA-256 that is none"},
        {L"moved\tn=1", L"a line of an unknown kind"},
        {L"no fields at all", L"a line about no item of this run"},
    };
    TQuarantineItem cookie;
    cookie.Number = 1;
    cookie.Kind = TItemKind::Cookie;
    cookie.Path = L"Cookie:x";
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Line)));
        TManifest manifest;
        std::wstring error;
        ASSERT_TRUE(ParseManifest(Text({cookie}, std::wstring(c.Line) + L"\r\n" + DoneLine(1, {})), manifest, error));
        ASSERT_EQ(1u, manifest.Damaged.size());
        EXPECT_EQ(L"line 4: " + std::wstring(c.Why), manifest.Damaged[0]);
        ASSERT_EQ(1u, manifest.Items.size());
        EXPECT_TRUE(manifest.Items[0].Done) << "the lines after it are still read";
    }
}

TEST(Manifest, WithoutItsFirstLinesARunCannotBeRead)
{
    for (const wchar_t* text : {L"", L"Quillmar Brisfold quarantine 2\r\nrun\tname=x\tstarted=1\r\n",
                                L"Quillmar Brisfold quarantine 1\r\n",
                                L"Quillmar Brisfold quarantine 1\r\nrun\tname=x\r\n",
                                L"Quillmar Brisfold quarantine 1\r\nitem\tn=1\tkind=cookie\tpath=x\r\n"}) {
        TManifest manifest;
        std::wstring error;
        EXPECT_FALSE(ParseManifest(text, manifest, error)) << testing::PrintToString(std::wstring(text));
        EXPECT_FALSE(error.empty());
    }
}
