#pragma once
// Reader of the definition archive: stored or zlib-compressed files, then the file table (raw or
// one zlib stream), then a 36-byte trailer carrying the CRC-32 of everything before it.
// Failures raise Exception with the user-facing texts below; nothing is shown from here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "spyware/archive/Crc32.h"

#pragma pack(push, 1)
struct TArchiveTrailer {
    uint32_t ArchiveCRC;      // CRC-32 of every byte before the trailer
    int32_t FileCount;
    uint8_t Reserved1[8];
    int32_t TableOffset;      // absolute offset of the file table
    uint8_t TableCompressed;  // 0 = raw table, otherwise one zlib stream
    uint8_t Reserved2[15];
};

struct TArchiveFileEntry {
    unsigned char FileName[256];  // length byte, then the 8-bit characters
    unsigned char FilePath[256];  // same form; folder part, empty for files without one
    int32_t Size;                 // content size after extraction
    uint8_t Reserved1[4];
    int32_t Offset;               // absolute offset of the stored data
    uint32_t CRC;                 // CRC-32 of the extracted content
    uint8_t Stored;               // 0 = zlib stream, otherwise raw bytes
    uint8_t Reserved2[3];
};
#pragma pack(pop)

static_assert(sizeof(TArchiveTrailer) == 36, "the trailer is 36 bytes on disk");
static_assert(sizeof(TArchiveFileEntry) == 532, "a table entry is 532 bytes on disk");

// The length-prefixed fields of an entry, and FilePath followed directly by FileName.
std::string EntryFileName(const TArchiveFileEntry& entry);
std::string EntryFilePath(const TArchiveFileEntry& entry);
std::string EntryFullName(const TArchiveFileEntry& entry);
// Stores text into a length-prefixed field; longer text is cut at 255 characters.
void SetEntryString(unsigned char (&field)[256], std::string_view text);

// Destination of an extraction: bytes in memory with a read/write position. Write appends at the
// position (extractions always write at the end); callers rewind with Seek(0) before reading.
class TMemoryStream {
public:
    void Write(const void* data, size_t count);
    size_t Read(void* data, size_t count);
    size_t Position() const { return Pos; }
    void Seek(size_t position) { Pos = position < Bytes.size() ? position : Bytes.size(); }
    size_t Size() const { return Bytes.size(); }
    const char* Memory() const { return Bytes.data(); }
    const std::string& Text() const { return Bytes; }
    void Clear() { Bytes.clear(); Pos = 0; }

private:
    std::string Bytes;
    size_t Pos = 0;
};

class TArchiveFile;  // the open archive file, platform-specific

class TZLBArchive {
public:
    using TNotifyEvent = std::function<void(TZLBArchive* Sender)>;
    using TFileExtractedEvent = std::function<void(const std::string& filename)>;
    using TProgressEvent = std::function<void(const std::string& Msg, int Percentage)>;

    enum TProgressState : uint8_t { psIdle, psReadingTable, psExtracting };

    TZLBArchive();
    ~TZLBArchive();
    TZLBArchive(const TZLBArchive&) = delete;
    TZLBArchive& operator=(const TZLBArchive&) = delete;

    // False (nothing open) for an empty name; True once the archive is verified and its table
    // loaded; raises otherwise, leaving nothing open.
    bool OpenArchive(const std::string& FileName);
#ifdef _WIN32
    // The same for a wide name, so that a path the 8-bit code page cannot spell opens too.
    bool OpenArchive(const std::wstring& FileName);
#endif
    void CloseArchive();
    int FileCount() const;
    void GetFileEntry(int Index, TArchiveFileEntry& Entry) const;
    // Append the content of one file to Dest.
    void ExtractStream(TMemoryStream& Dest, int Index);
    void ExtractStreamByName(TMemoryStream& Dest, const std::string& Name);

    const std::string& GetArchiveName() const { return ArchiveName; }
    const TArchiveTrailer& GetTrailer() const { return Trailer; }

    // Check every extracted file against its entry's CRC.
    bool CheckCRC = false;

    TNotifyEvent OnArchiveOpened;
    TFileExtractedEvent OnStreamExtracted; // receives the full stored name
    TProgressEvent OnProgress;

private:
    bool OpenNamed(const std::string& Name, const std::wstring& Wide);
    bool OpenFile(TArchiveFile& file) const;
    bool FileExists() const;
    void ReadTable(TArchiveFile& file, int64_t dataEnd);
    void ExtractEntry(TMemoryStream& Dest, int Index);
    void DoProgress();
    void Reset();

    std::string ArchiveName;
    std::wstring WideName; // set when the archive was opened by a wide name (Windows)
    TArchiveTrailer Trailer{};
    std::vector<TArchiveFileEntry> Entries;
    TCrc32 CRCTable;
    TProgressState ProgressState = psIdle;
    std::string ProgressMessage;
    int32_t ProgressTotal = 0;
    int32_t ProgressDone = 0;
    bool Destroying = false;
};
