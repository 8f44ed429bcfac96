#include <gtest/gtest.h>

#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ArchiveWriter.h"
#include "common/CodePage.h"
#include "common/Exception.h"
#include "spyware/archive/Crc32.h"
#include "spyware/archive/ZLIBArchive.h"
#include "support/ScratchFolder.h"

namespace {

const std::string MsgMissed = "Archive file missed, please reinstall the program.";
const std::string MsgCorrupted = "The archive file appears to be corrupted, please reinstall the program.";
const std::string MsgListUnreadable = "Unable to read archive file list, please reinstall the program.";
const std::string MsgNotOpen = "No archive is currently open";
const std::string MsgBadIndex = "Index out of bounds";
const std::string MsgNotFound = "File not found in archive, please reinstall the program.";

std::string FileCorrupt(int index) { return "File (" + std::to_string(index) + ") is corrupt, please reinstall the program."; }
std::string FileFailedCRC(int index)
{
    return "File (" + std::to_string(index) + ") failed CRC check, please reinstall the program.";
}

// The message of the Exception that action raises, or "" when it raises none.
std::string RaisedBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.what();
    }
    return "";
}

std::string TextOfSize(size_t size, unsigned seed)
{
    std::string text;
    text.reserve(size);
    for (size_t i = 0; text.size() < size; ++i)
        text += "Key" + std::to_string((i * 7919 + seed) % 100003) + "=HKEY_CURRENT_USER\\Software\\Sample\r\n";
    text.resize(size);
    return text;
}

std::string Extract(TZLBArchive& archive, int index)
{
    TMemoryStream stream;
    archive.ExtractStream(stream, index);
    return stream.Text();
}

std::string ExtractByName(TZLBArchive& archive, const std::string& name)
{
    TMemoryStream stream;
    archive.ExtractStreamByName(stream, name);
    return stream.Text();
}

// Data area, then the table (raw or one zlib stream) at its end, then the trailer.
std::string Assemble(const std::string& data, const std::vector<TArchiveFileEntry>& entries, bool compressTable)
{
    const std::string table = TableBytes(entries);
    return SealArchive(data + (compressTable ? ZlibCompress(table) : table), static_cast<int32_t>(entries.size()),
                       static_cast<int32_t>(data.size()), compressTable);
}

TArchiveTrailer TrailerOf(const std::string& archive)
{
    TArchiveTrailer trailer;
    std::memcpy(&trailer, archive.data() + archive.size() - sizeof(trailer), sizeof(trailer));
    return trailer;
}

// Trailer fields other than the CRC are outside the checked bytes and can be edited in place.
std::string WithTrailer(std::string archive, const std::function<void(TArchiveTrailer&)>& edit)
{
    TArchiveTrailer trailer = TrailerOf(archive);
    edit(trailer);
    std::memcpy(archive.data() + archive.size() - sizeof(trailer), &trailer, sizeof(trailer));
    return archive;
}

const std::vector<TArchiveInput>& SampleFiles()
{
    static const std::vector<TArchiveInput> files = {
        {"", "Main.db", "[Main]\r\nVersion=1\r\nFirst=3\r\n", false},
        {"", "TrackingCookie.db", "doubleclick\r\nsample-tracker\r\n", true},
        {"Defs\\", "Alpha.def", TextOfSize(10000, 1), false},  // several 4,096-byte pieces
        {"", "Empty.def", "", false},
        {"Defs\\", "Main.db", "the folder copy", true},
    };
    return files;
}

class ZLIBArchiveTest : public ::testing::Test {
protected:
    // Writes bytes to a scratch file and returns its 8-bit name, as the program passes it.
    std::string Put(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = Scratch / name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file) << "error " << GetLastError();
        DWORD written = 0;
        if (!bytes.empty()) {
            EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        }
        CloseHandle(file);
        return WideToAnsi(path);
    }

    // After a failure nothing may be open, and the component must still work.
    void ExpectClosedAndReusable(TZLBArchive& archive)
    {
        EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
        EXPECT_EQ("", archive.GetArchiveName());
        EXPECT_EQ(MsgBadIndex, RaisedBy([&] {
                      TArchiveFileEntry entry;
                      archive.GetFileEntry(0, entry);
                  }));
        const std::string good = Put(L"good.dbd", WriteArchive(SampleFiles(), true));
        ASSERT_TRUE(archive.OpenArchive(good));
        EXPECT_EQ(5, archive.FileCount());
        EXPECT_EQ(SampleFiles()[0].Content, Extract(archive, 0));
    }

    ScratchFolder Scratch{L"archive"};
};

TEST(ZLIBArchiveLayout, RecordsHaveTheirOnDiskSizes)
{
    EXPECT_EQ(36u, sizeof(TArchiveTrailer));
    EXPECT_EQ(532u, sizeof(TArchiveFileEntry));
    EXPECT_EQ(16u, offsetof(TArchiveTrailer, TableOffset));
    EXPECT_EQ(20u, offsetof(TArchiveTrailer, TableCompressed));
    EXPECT_EQ(512u, offsetof(TArchiveFileEntry, Size));
    EXPECT_EQ(520u, offsetof(TArchiveFileEntry, Offset));
    EXPECT_EQ(524u, offsetof(TArchiveFileEntry, CRC));
    EXPECT_EQ(528u, offsetof(TArchiveFileEntry, Stored));
}

TEST(ZLIBArchiveCrc, MatchesZlibForEveryLengthAndAlignment)
{
    const TCrc32 crc;
    EXPECT_EQ(0xCBF43926u, crc.Of("123456789", 9));  // the standard check value
    EXPECT_EQ(0u, crc.Of("", 0));
    const std::string bytes = TextOfSize(300, 5);
    for (size_t start = 0; start < 9; ++start)
        for (size_t length = 0; start + length <= 64; ++length)
            ASSERT_EQ(ZlibCrc32(bytes.substr(start, length)), crc.Of(bytes.data() + start, length))
                << "start " << start << " length " << length;
    // A running CRC over uneven blocks equals the CRC of the whole.
    uint32_t running = TCrc32::Start;
    for (size_t done = 0, step = 1; done < bytes.size(); done += step, step = step * 3 % 37 + 1)
        running = crc.Update(running, bytes.data() + done, std::min(step, bytes.size() - done));
    EXPECT_EQ(ZlibCrc32(bytes), TCrc32::Finish(running));
}

TEST_F(ZLIBArchiveTest, DefaultsOfANewComponent)
{
    TZLBArchive archive;
    EXPECT_FALSE(archive.CheckCRC);
    EXPECT_FALSE(archive.OnProgress);
    EXPECT_FALSE(archive.OnArchiveOpened);
    EXPECT_FALSE(archive.OnStreamExtracted);
    EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
}

// Every layout the writer produces: stored and compressed data, raw and compressed table.
TEST_F(ZLIBArchiveTest, EveryLayoutListsAndExtractsEveryEntry)
{
    for (bool compressTable : {false, true}) {
        SCOPED_TRACE(compressTable ? "compressed table" : "raw table");
        const std::string name = Put(L"sample.dbd", WriteArchive(SampleFiles(), compressTable));
        TZLBArchive archive;
        ASSERT_TRUE(archive.OpenArchive(name));
        EXPECT_EQ(name, archive.GetArchiveName());
        EXPECT_EQ(compressTable ? 1 : 0, archive.GetTrailer().TableCompressed);
        ASSERT_EQ(static_cast<int>(SampleFiles().size()), archive.FileCount());
        for (int i = 0; i < archive.FileCount(); ++i) {
            const TArchiveInput& input = SampleFiles()[static_cast<size_t>(i)];
            TArchiveFileEntry entry;
            archive.GetFileEntry(i, entry);
            EXPECT_EQ(input.FileName, EntryFileName(entry));
            EXPECT_EQ(input.FilePath, EntryFilePath(entry));
            EXPECT_EQ(input.FilePath + input.FileName, EntryFullName(entry));
            EXPECT_EQ(static_cast<int32_t>(input.Content.size()), entry.Size);
            EXPECT_EQ(ZlibCrc32(input.Content), entry.CRC);
            EXPECT_EQ(input.Stored, entry.Stored != 0);
            EXPECT_EQ(input.Content, Extract(archive, i)) << "entry " << i;
        }
        archive.CloseArchive();
        EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
    }
}

TEST_F(ZLIBArchiveTest, RawAndCompressedTablesGiveIdenticalEntries)
{
    TZLBArchive raw, packed;
    ASSERT_TRUE(raw.OpenArchive(Put(L"raw.dbd", WriteArchive(SampleFiles(), false))));
    ASSERT_TRUE(packed.OpenArchive(Put(L"packed.dbd", WriteArchive(SampleFiles(), true))));
    ASSERT_EQ(raw.FileCount(), packed.FileCount());
    for (int i = 0; i < raw.FileCount(); ++i) {
        TArchiveFileEntry a, b;
        raw.GetFileEntry(i, a);
        packed.GetFileEntry(i, b);
        EXPECT_EQ(0, std::memcmp(&a, &b, sizeof(a))) << "entry " << i;
    }
}

TEST_F(ZLIBArchiveTest, StoredAndCompressedEntriesExtractToTheSameBytes)
{
    const std::string content = TextOfSize(50000, 9) + std::string("\0\x01\xff binary", 10);
    const std::string name = Put(L"same.dbd", WriteArchive({{"", "a.bin", content, true}, {"", "b.bin", content, false}}, true));
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(name));
    TArchiveFileEntry stored, packed;
    archive.GetFileEntry(0, stored);
    archive.GetFileEntry(1, packed);
    EXPECT_NE(stored.Stored, packed.Stored);
    const std::string a = Extract(archive, 0);
    EXPECT_EQ(content.size(), a.size());
    EXPECT_TRUE(a == content);
    EXPECT_TRUE(Extract(archive, 1) == content);
}

TEST_F(ZLIBArchiveTest, ExtractionAppendsToTheDestination)
{
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"sample.dbd", WriteArchive(SampleFiles(), true))));
    TMemoryStream stream;
    archive.ExtractStream(stream, 0);
    archive.ExtractStream(stream, 1);
    EXPECT_EQ(SampleFiles()[0].Content + SampleFiles()[1].Content, stream.Text());
    stream.Seek(0);
    char first[6] = {};
    EXPECT_EQ(6u, stream.Read(first, 6));
    EXPECT_EQ("[Main]", std::string(first, 6));
}

TEST_F(ZLIBArchiveTest, AnyChangedByteBeforeTheTrailerIsRejected)
{
    const std::string good = WriteArchive(SampleFiles(), true);
    const size_t tableOffset = static_cast<size_t>(TrailerOf(good).TableOffset);
    const size_t end = good.size() - sizeof(TArchiveTrailer);
    for (size_t offset : {size_t(0), size_t(1), size_t(37), tableOffset / 2, tableOffset - 1, tableOffset,
                          tableOffset + 5, end - 1}) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        std::string bad = good;
        bad[offset] = static_cast<char>(bad[offset] ^ 0x20);
        TZLBArchive archive;
        EXPECT_EQ(MsgCorrupted, RaisedBy([&] { archive.OpenArchive(Put(L"bad.dbd", bad)); }));
        EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
        EXPECT_EQ(0u, archive.GetTrailer().FileCount + archive.GetTrailer().ArchiveCRC);
    }
    // A wrong CRC in the trailer itself.
    TZLBArchive archive;
    const std::string bad = WithTrailer(good, [](TArchiveTrailer& t) { t.ArchiveCRC ^= 1; });
    EXPECT_EQ(MsgCorrupted, RaisedBy([&] { archive.OpenArchive(Put(L"bad.dbd", bad)); }));
    ExpectClosedAndReusable(archive);
}

TEST_F(ZLIBArchiveTest, EmptyArchiveOpensWithNoEntries)
{
    for (bool compressTable : {false, true}) {
        SCOPED_TRACE(compressTable ? "compressed table" : "raw table");
        TZLBArchive archive;
        ASSERT_TRUE(archive.OpenArchive(Put(L"empty.dbd", WriteArchive({}, compressTable))));
        EXPECT_EQ(0, archive.FileCount());
        TArchiveFileEntry entry;
        for (int index : {0, -1, 1})
            EXPECT_EQ(MsgBadIndex, RaisedBy([&] { archive.GetFileEntry(index, entry); })) << index;
        TMemoryStream stream;
        EXPECT_EQ(MsgBadIndex, RaisedBy([&] { archive.ExtractStream(stream, 0); }));
        EXPECT_EQ(MsgNotFound, RaisedBy([&] { archive.ExtractStreamByName(stream, "Main.db"); }));
        EXPECT_EQ(0u, stream.Size());
    }
}

TEST_F(ZLIBArchiveTest, IndexOutOfRangeFailsInEveryAccessor)
{
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"sample.dbd", WriteArchive(SampleFiles(), true))));
    TArchiveFileEntry entry;
    TMemoryStream stream;
    for (int index : {-1, 5, 1000, INT32_MIN}) {
        EXPECT_EQ(MsgBadIndex, RaisedBy([&] { archive.GetFileEntry(index, entry); })) << index;
        EXPECT_EQ(MsgBadIndex, RaisedBy([&] { archive.ExtractStream(stream, index); })) << index;
    }
}

TEST_F(ZLIBArchiveTest, NameLookupIsCaseInsensitiveOverPathAndName)
{
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"sample.dbd", WriteArchive(SampleFiles(), true))));
    EXPECT_EQ(SampleFiles()[0].Content, ExtractByName(archive, "MAIN.DB"));
    EXPECT_EQ(SampleFiles()[0].Content, ExtractByName(archive, "main.db"));
    EXPECT_EQ(SampleFiles()[4].Content, ExtractByName(archive, "defs\\MAIN.db"));
    EXPECT_EQ(SampleFiles()[2].Content, ExtractByName(archive, "DEFS\\alpha.DEF"));
    EXPECT_EQ(SampleFiles()[1].Content, ExtractByName(archive, "TrackingCookie.db"));
    // A file in a folder is found only with its folder.
    for (const char* name : {"Alpha.def", "\\Alpha.def", "Defs/Alpha.def", "Defs\\", "Main.db ", ""}) {
        TMemoryStream stream;
        EXPECT_EQ(MsgNotFound, RaisedBy([&] { archive.ExtractStreamByName(stream, name); })) << name;
        EXPECT_EQ(0u, stream.Size());
    }
}

TEST_F(ZLIBArchiveTest, NameLookupLowersOnlyAsciiLetters)
{
    // 0xC4 and 0xE4 are upper and lower A-umlaut in the Western code page: they must not match.
    const std::string upper = "\xC4rger.def", lower = "\xE4rger.def";
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"accents.dbd", WriteArchive({{"", upper, "content", false}}, true))));
    EXPECT_EQ("content", ExtractByName(archive, "\xC4RGER.DEF"));
    TMemoryStream stream;
    EXPECT_EQ(MsgNotFound, RaisedBy([&] { archive.ExtractStreamByName(stream, lower); }));
}

TEST_F(ZLIBArchiveTest, DuplicateNamesExtractTheFirstInArchiveOrder)
{
    const std::vector<TArchiveInput> files = {
        {"", "Other.txt", "other", false},
        {"", "Dup.txt", "first", false},
        {"", "DUP.TXT", "second", true},
        {"", "Dup.txt", "third", false},
    };
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"dup.dbd", WriteArchive(files, false))));
    EXPECT_EQ("first", ExtractByName(archive, "dup.txt"));
    EXPECT_EQ("second", Extract(archive, 2));
    EXPECT_EQ("third", Extract(archive, 3));
}

TEST_F(ZLIBArchiveTest, CheckCRCComparesEachExtractedFile)
{
    const std::string good = "good content", bad = "bad content";
    std::string data = good + ZlibCompress(bad);
    const std::vector<TArchiveFileEntry> entries = {
        MakeArchiveEntry("", "good.txt", static_cast<int32_t>(good.size()), 0, ZlibCrc32(good), true),
        MakeArchiveEntry("", "bad.txt", static_cast<int32_t>(bad.size()), static_cast<int32_t>(good.size()),
                         ZlibCrc32(bad) ^ 0x100, false),
    };
    const std::string name = Put(L"crc.dbd", Assemble(data, entries, true));
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(name));
    EXPECT_EQ(bad, Extract(archive, 1));  // off: the wrong CRC goes unnoticed

    archive.CheckCRC = true;
    std::vector<std::string> extracted;
    archive.OnStreamExtracted = [&](const std::string& file) { extracted.push_back(file); };
    EXPECT_EQ(good, Extract(archive, 0));
    TMemoryStream stream;
    EXPECT_EQ(FileFailedCRC(1), RaisedBy([&] { archive.ExtractStream(stream, 1); }));
    EXPECT_EQ(FileFailedCRC(1), RaisedBy([&] { archive.ExtractStreamByName(stream, "BAD.txt"); }));
    EXPECT_EQ(std::vector<std::string>{"good.txt"}, extracted);
    EXPECT_EQ(2, archive.FileCount());  // a failed extraction leaves the archive open
}

TEST_F(ZLIBArchiveTest, EmptyNameOpensNothing)
{
    TZLBArchive archive;
    EXPECT_FALSE(archive.OpenArchive(""));
    EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
    TMemoryStream stream;
    EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.ExtractStream(stream, 0); }));
    EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.ExtractStreamByName(stream, "Main.db"); }));

    // An empty name also closes what was open.
    ASSERT_TRUE(archive.OpenArchive(Put(L"sample.dbd", WriteArchive(SampleFiles(), true))));
    EXPECT_FALSE(archive.OpenArchive(""));
    EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
}

TEST_F(ZLIBArchiveTest, MissingFileOrFolderNameIsReportedAsMissed)
{
    Scratch.MakeFolder(L"folder.dbd");
    for (const std::wstring& name : {Scratch / L"none.dbd", Scratch / L"folder.dbd", Scratch / L"no\\such.dbd"}) {
        TZLBArchive archive;
        EXPECT_EQ(MsgMissed, RaisedBy([&] { archive.OpenArchive(WideToAnsi(name)); }));
        EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
    }
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"sample.dbd", WriteArchive(SampleFiles(), true))));
    EXPECT_EQ(MsgMissed, RaisedBy([&] { archive.OpenArchive(WideToAnsi(Scratch / L"none.dbd")); }));
    ExpectClosedAndReusable(archive);
}

// The file is opened sharing read access only, and only during an open or an extraction.
TEST_F(ZLIBArchiveTest, FileIsHeldWithReadSharingOnlyWhileInUse)
{
    const std::string name = Put(L"sample.dbd", WriteArchive(SampleFiles(), true));
    const std::wstring path = AnsiToWide(name);
    TZLBArchive archive;
    {
        HANDLE locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, locked);
        EXPECT_EQ("Unable to open file (" + name + ")", RaisedBy([&] { archive.OpenArchive(name); }));
        EXPECT_EQ(MsgNotOpen, RaisedBy([&] { archive.FileCount(); }));
        CloseHandle(locked);
    }
    ASSERT_TRUE(archive.OpenArchive(name));
    // Between calls nothing holds the file: an exclusive open succeeds.
    HANDLE exclusive = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive) << "error " << GetLastError();
    TMemoryStream stream;
    EXPECT_EQ("Unable to open file (" + name + ")", RaisedBy([&] { archive.ExtractStream(stream, 0); }));
    CloseHandle(exclusive);

    // During an extraction others may read but not write.
    bool tried = false;
    archive.OnProgress = [&](const std::string& msg, int) {
        if (tried || msg.rfind("Extracting", 0) != 0)
            return;
        tried = true;
        HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, reader);
        CloseHandle(reader);
        SetLastError(0xdeadbeef);
        HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
    };
    EXPECT_EQ(SampleFiles()[2].Content, Extract(archive, 2));
    EXPECT_TRUE(tried);
}

struct BadArchiveCase {
    const char* Name;
    std::function<std::string()> Bytes;
    std::string Message;
};

// Archives whose CRC is right but whose trailer or table cannot be used.
TEST_F(ZLIBArchiveTest, BadTrailerOrTableEndsInAMessageAndLeavesNothingOpen)
{
    const auto good = [](bool compressTable) { return WriteArchive(SampleFiles(), compressTable); };
    const auto table = [] {
        std::vector<TArchiveFileEntry> entries;
        for (int i = 0; i < 3; ++i)
            entries.push_back(MakeArchiveEntry("", std::to_string(i) + ".def", 0, 0, 0, true));
        return TableBytes(entries);
    };
    // A deflate stream flushed but never finished: no final block, no Adler-32.
    const auto unfinished = [](const std::string& bytes) {
        z_stream z{};
        deflateInit(&z, Z_DEFAULT_COMPRESSION);
        std::string out(bytes.size() + 1024, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z.avail_in = static_cast<uInt>(bytes.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_SYNC_FLUSH);
        out.resize(out.size() - z.avail_out);
        deflateEnd(&z);
        return out;
    };
    const std::vector<BadArchiveCase> cases = {
        {"empty file", [] { return std::string(); }, MsgCorrupted},
        {"one byte", [] { return std::string(1, '\0'); }, MsgCorrupted},
        {"35 zero bytes", [] { return std::string(35, '\0'); }, MsgCorrupted},
        {"table offset negative", [&] { return WithTrailer(good(false), [](TArchiveTrailer& t) { t.TableOffset = -532; }); },
         MsgListUnreadable},
        {"table offset beyond the end",
         [&] { return WithTrailer(good(false), [](TArchiveTrailer& t) { t.TableOffset = 0x7FFFFFF0; }); }, MsgListUnreadable},
        {"table offset inside the trailer",
         [&] {
             const std::string bytes = good(false);
             return WithTrailer(bytes, [&](TArchiveTrailer& t) { t.TableOffset = static_cast<int32_t>(bytes.size() - 20); });
         },
         MsgListUnreadable},
        {"file count negative", [&] { return WithTrailer(good(false), [](TArchiveTrailer& t) { t.FileCount = -1; }); },
         MsgListUnreadable},
        {"raw table one entry short", [&] { return WithTrailer(good(false), [](TArchiveTrailer& t) { t.FileCount += 1; }); },
         MsgListUnreadable},
        {"raw table huge count",
         [&] { return WithTrailer(good(false), [](TArchiveTrailer& t) { t.FileCount = 0x7FFFFFFF; }); }, MsgListUnreadable},
        {"compressed table huge count",
         [&] { return WithTrailer(good(true), [](TArchiveTrailer& t) { t.FileCount = 4000000; }); }, MsgListUnreadable},
        {"compressed table inflates to fewer bytes",
         [&] { return WithTrailer(good(true), [](TArchiveTrailer& t) { t.FileCount += 1; }); }, MsgListUnreadable},
        {"compressed table inflates to more bytes",
         [&] { return WithTrailer(good(true), [](TArchiveTrailer& t) { t.FileCount -= 1; }); }, MsgListUnreadable},
        {"compressed table one byte longer than the entries",
         [&] { return SealArchive(ZlibCompress(table() + "x"), 3, 0, true); }, MsgListUnreadable},
        {"compressed table flag on a raw table", [&] { return SealArchive(table(), 3, 0, true); }, MsgListUnreadable},
        {"compressed table cut short",
         [&] {
             const std::string packed = ZlibCompress(table());
             return SealArchive(packed.substr(0, packed.size() / 2), 3, 0, true);
         },
         MsgListUnreadable},
        {"compressed table never ends", [&] { return SealArchive(unfinished(table()), 3, 0, true); }, MsgListUnreadable},
        {"compressed table with a dictionary",
         [&] {
             std::string packed = ZlibCompress(table());
             packed[1] = static_cast<char>(0x20 | (31 - (0x78 * 256 + 0x20) % 31));  // FDICT set, header check kept
             return SealArchive(packed, 3, 0, true);
         },
         MsgListUnreadable},
    };
    for (const BadArchiveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        int opened = 0;
        TZLBArchive archive;
        archive.OnArchiveOpened = [&](TZLBArchive*) { ++opened; };
        EXPECT_EQ(c.Message, RaisedBy([&] { archive.OpenArchive(Put(L"bad.dbd", c.Bytes())); }));
        EXPECT_EQ(0, opened);
        ExpectClosedAndReusable(archive);
        EXPECT_EQ(1, opened);
    }
}

TEST_F(ZLIBArchiveTest, EntryOffsetOutsideTheDataFailsAsCorruptFile)
{
    const std::string content = "content";
    for (int32_t offset : {-1, INT32_MIN, 100000, INT32_MAX}) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        for (bool stored : {true, false}) {
            const std::vector<TArchiveFileEntry> entries = {
                MakeArchiveEntry("", "ok.txt", 7, 0, ZlibCrc32(content), true),
                MakeArchiveEntry("", "bad.txt", 7, offset, ZlibCrc32(content), stored),
            };
            TZLBArchive archive;
            ASSERT_TRUE(archive.OpenArchive(Put(L"offset.dbd", Assemble(content, entries, false))));
            TMemoryStream stream;
            EXPECT_EQ(FileCorrupt(1), RaisedBy([&] { archive.ExtractStream(stream, 1); }));
            EXPECT_EQ(FileCorrupt(1), RaisedBy([&] { archive.ExtractStreamByName(stream, "BAD.TXT"); }));
            EXPECT_EQ(0u, stream.Size());
            EXPECT_EQ(content, Extract(archive, 0));  // the archive stays usable
        }
    }
}

TEST_F(ZLIBArchiveTest, EntrySizeBeyondItsDataStopsWhereTheDataEnds)
{
    const std::string content = TextOfSize(9000, 3);
    const std::string packed = ZlibCompress(content);
    // The table comes first so that each entry's data runs up to the trailer.
    const auto archiveWith = [&](const std::string& data, int32_t size, bool stored) {
        std::vector<TArchiveFileEntry> entries = {MakeArchiveEntry("", "big.def", size, 0, ZlibCrc32(content), stored)};
        const std::string table = TableBytes(entries);
        entries[0].Offset = static_cast<int32_t>(table.size());
        return SealArchive(TableBytes(entries) + data, 1, 0, false);
    };
    struct Case {
        const char* Name;
        std::string Data;
        int32_t Size;
        bool Stored;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"stored, huge size", content, INT32_MAX, true, content},
        {"compressed, huge size", packed, INT32_MAX, false, content},
        {"compressed stream cut short", packed.substr(0, packed.size() / 2), 9000, false, ""},
        {"negative size", content, -5, true, ""},
        {"zero size", content, 0, true, ""},
        {"size smaller than the data", content, 100, true, content.substr(0, 100)},
        {"compressed, size smaller", packed, 5000, false, content.substr(0, 5000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TZLBArchive archive;
        ASSERT_TRUE(archive.OpenArchive(Put(L"size.dbd", archiveWith(c.Data, c.Size, c.Stored))));
        int reports = 0;
        archive.OnProgress = [&](const std::string&, int) { ++reports; };
        const std::string out = Extract(archive, 0);
        // One report per piece actually obtained, plus one at the end: no spinning up to Size.
        EXPECT_LE(reports, 4);
        if (std::string(c.Name) == "compressed stream cut short") {
            // Whatever the first half inflates to, and no more.
            EXPECT_LT(out.size(), content.size());
            EXPECT_EQ(content.substr(0, out.size()), out);
        } else
            EXPECT_TRUE(out == c.Expected) << "got " << out.size() << " bytes";
        // Only the CRC check notices a short file.
        archive.CheckCRC = true;
        TMemoryStream stream;
        const bool whole = out == content;
        EXPECT_EQ(whole ? "" : FileFailedCRC(0), RaisedBy([&] { archive.ExtractStream(stream, 0); }));
    }
}

TEST_F(ZLIBArchiveTest, DamagedCompressedDataFailsAsCorruptFile)
{
    const std::string content = TextOfSize(20000, 4);
    const std::string packed = ZlibCompress(content);
    std::string badHeader = packed;
    badHeader[0] = '\xFF';
    std::string badAdler = packed;
    badAdler[badAdler.size() - 1] ^= 0x55;
    std::string badBlock = packed;
    badBlock[2] = '\x07';  // reserved block type
    for (const std::string& data : {badHeader, badBlock}) {
        const std::vector<TArchiveFileEntry> entries = {
            MakeArchiveEntry("", "ok.txt", 2, 0, ZlibCrc32("ok"), true),
            MakeArchiveEntry("", "bad.def", 20000, 2, ZlibCrc32(content), false),
        };
        TZLBArchive archive;
        ASSERT_TRUE(archive.OpenArchive(Put(L"damaged.dbd", Assemble("ok" + data, entries, true))));
        TMemoryStream stream;
        EXPECT_EQ(FileCorrupt(1), RaisedBy([&] { archive.ExtractStream(stream, 1); }));
        EXPECT_EQ("ok", Extract(archive, 0));
    }
    // A damaged Adler-32 is noticed as soon as the last byte has been inflated.
    const std::vector<TArchiveFileEntry> entries = {MakeArchiveEntry("", "adler.def", 20000, 0, ZlibCrc32(content), false)};
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"adler.dbd", Assemble(badAdler, entries, false))));
    TMemoryStream stream;
    EXPECT_EQ(FileCorrupt(0), RaisedBy([&] { archive.ExtractStream(stream, 0); }));
}

TEST_F(ZLIBArchiveTest, LongestNamesFillTheirFields)
{
    const std::string path(255, 'P'), name(255, 'n');
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"long.dbd", WriteArchive({{path, name, "long", false}}, true))));
    TArchiveFileEntry entry;
    archive.GetFileEntry(0, entry);
    EXPECT_EQ(255, entry.FileName[0]);
    EXPECT_EQ(name, EntryFileName(entry));
    EXPECT_EQ(path + name, EntryFullName(entry));
    std::string lowered = path + name;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) { return static_cast<char>(c | 0x20); });
    EXPECT_EQ("long", ExtractByName(archive, lowered));
}

TEST_F(ZLIBArchiveTest, EventsReportOpeningAndExtraction)
{
    const std::string name = Put(L"sample.dbd", WriteArchive(SampleFiles(), true));
    TZLBArchive archive;
    std::vector<std::pair<std::string, int>> progress;
    std::vector<std::string> extracted;
    TZLBArchive* sender = nullptr;
    archive.OnProgress = [&](const std::string& msg, int percentage) { progress.emplace_back(msg, percentage); };
    archive.OnStreamExtracted = [&](const std::string& file) { extracted.push_back(file); };
    archive.OnArchiveOpened = [&](TZLBArchive* s) { sender = s; };

    ASSERT_TRUE(archive.OpenArchive(name));
    EXPECT_EQ(&archive, sender);
    // The close at the start, the table in pieces up to 100, then idle with the archive's name.
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(std::make_pair(std::string(), 0), progress.front());
    EXPECT_EQ(std::make_pair(name, 0), progress.back());
    EXPECT_EQ(std::make_pair(std::string("Extracting archive registry"), 100), progress[progress.size() - 2]);
    for (size_t i = 1; i + 1 < progress.size(); ++i)
        EXPECT_EQ("Extracting archive registry", progress[i].first);

    // 10,000 bytes: three pieces of at most 4,096, named without the folder.
    progress.clear();
    EXPECT_EQ(SampleFiles()[2].Content, ExtractByName(archive, "defs\\alpha.def"));
    const std::vector<std::pair<std::string, int>> expected = {
        {"Extracting Alpha.def", 41}, {"Extracting Alpha.def", 82}, {"Extracting Alpha.def", 100}, {name, 0}};
    EXPECT_EQ(expected, progress);
    EXPECT_EQ(std::vector<std::string>{"Defs\\Alpha.def"}, extracted);

    // An empty file reports only the final idle state.
    progress.clear();
    EXPECT_EQ("", Extract(archive, 3));
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{name, 0}}), progress);

    progress.clear();
    archive.CloseArchive();
    EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"", 0}}), progress);
}

TEST_F(ZLIBArchiveTest, FailingHandlersEndInTheArchiveMessages)
{
    const std::string name = Put(L"sample.dbd", WriteArchive(SampleFiles(), true));
    TZLBArchive archive;
    archive.OnArchiveOpened = [](TZLBArchive*) { throw Exception("handler failed"); };
    EXPECT_EQ(MsgListUnreadable, RaisedBy([&] { archive.OpenArchive(name); }));
    archive.OnArchiveOpened = nullptr;
    ExpectClosedAndReusable(archive);

    archive.OnProgress = [](const std::string& msg, int) {
        if (msg == "Extracting Alpha.def")
            throw Exception("handler failed");
    };
    TMemoryStream stream;
    EXPECT_EQ(FileCorrupt(2), RaisedBy([&] { archive.ExtractStream(stream, 2); }));
}

TEST_F(ZLIBArchiveTest, AnotherOpenReplacesTheArchive)
{
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(Put(L"one.dbd", WriteArchive(SampleFiles(), true))));
    const std::string two = Put(L"two.dbd", WriteArchive({{"", "Only.txt", "only", true}}, false));
    ASSERT_TRUE(archive.OpenArchive(two));
    EXPECT_EQ(1, archive.FileCount());
    EXPECT_EQ(two, archive.GetArchiveName());
    TMemoryStream stream;
    EXPECT_EQ(MsgNotFound, RaisedBy([&] { archive.ExtractStreamByName(stream, "Main.db"); }));
    EXPECT_EQ("only", ExtractByName(archive, "only.TXT"));
    // Reopening under its own name.
    ASSERT_TRUE(archive.OpenArchive(archive.GetArchiveName()));
    EXPECT_EQ(two, archive.GetArchiveName());
    EXPECT_EQ(1, archive.FileCount());
}

// Hostile archives from the fuzzer's corpus, copied next to the test program.
TEST_F(ZLIBArchiveTest, FuzzedArchivesFailCleanly)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder = folder.substr(0, folder.find_last_of(L'\\')) + L"\\archive_cases\\";
    const std::vector<std::string> messages = {MsgCorrupted, MsgListUnreadable, MsgNotFound, MsgBadIndex};
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*.dbd").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find) << "no fuzzed archives next to the test program";
    int seen = 0, refused = 0;
    do {
        ++seen;
        const std::string name = WideToAnsi(folder + found.cFileName);
        const bool mustFail = std::wstring(found.cFileName).find(L"open-fail") != std::wstring::npos;
        SCOPED_TRACE(name);
        for (bool checkCRC : {false, true}) {
            TZLBArchive archive;
            archive.CheckCRC = checkCRC;
            std::string message = RaisedBy([&] { archive.OpenArchive(name); });
            EXPECT_EQ(mustFail, !message.empty()) << message;
            if (!message.empty()) {
                ++refused;
                EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), message)) << message;
                continue;
            }
            for (int i = 0; i < archive.FileCount(); ++i) {
                TArchiveFileEntry entry;
                archive.GetFileEntry(i, entry);
                TMemoryStream stream;
                message = RaisedBy([&] { archive.ExtractStream(stream, i); });
                EXPECT_TRUE(message.empty() || message == FileCorrupt(i) || message == FileFailedCRC(i)) << message;
                EXPECT_LE(stream.Size(), static_cast<size_t>(std::max(entry.Size, 0)));
            }
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_GT(seen, 0);
    EXPECT_GT(refused, 0);
}

} // namespace
