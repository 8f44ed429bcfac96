#include "spyware/archive/ZLIBArchive.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include <zlib.h>

#include "common/Exception.h"

#include "spyware/archive/ArchiveFile.h"
#include "spyware/archive/InflateReader.h"

namespace {

const char* const MsgArchiveMissed = "Archive file missed, please reinstall the program.";
const char* const MsgUnableToOpen = "Unable to open file (%s)";
const char* const MsgCorrupted = "The archive file appears to be corrupted, please reinstall the program.";
const char* const MsgListUnreadable = "Unable to read archive file list, please reinstall the program.";
const char* const MsgNotOpen = "No archive is currently open";
const char* const MsgBadIndex = "Index out of bounds";
const char* const MsgNotFound = "File not found in archive, please reinstall the program.";
const char* const MsgFileCorrupt = "File (%d) is corrupt, please reinstall the program.";
const char* const MsgFileCRC = "File (%d) failed CRC check, please reinstall the program.";

constexpr size_t CrcBlockSize = 10240;
constexpr size_t PieceSize = 4096;
constexpr int64_t TrailerSize = sizeof(TArchiveTrailer);
constexpr int64_t EntrySize = sizeof(TArchiveFileEntry);
// Deflate cannot expand data by more than about 1032:1, so a compressed table that claims more
// entries than its bytes could ever inflate to is rejected before anything is allocated.
constexpr int64_t MaxInflateRatio = 1032;

std::string FormatMessage(const char* format, const std::string& text)
{
    std::string message(format);
    message.replace(message.find("%s"), 2, text);
    return message;
}

std::string FormatMessage(const char* format, int number)
{
    std::string message(format);
    message.replace(message.find("%d"), 2, std::to_string(number));
    return message;
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

std::string EntryFileName(const TArchiveFileEntry& entry)
{
    // A length byte can never run past the field: 1 + 255 = 256.
    return std::string(reinterpret_cast<const char*>(entry.FileName + 1), entry.FileName[0]);
}

std::string EntryFilePath(const TArchiveFileEntry& entry)
{
    return std::string(reinterpret_cast<const char*>(entry.FilePath + 1), entry.FilePath[0]);
}

std::string EntryFullName(const TArchiveFileEntry& entry) { return EntryFilePath(entry) + EntryFileName(entry); }

void SetEntryString(unsigned char (&field)[256], std::string_view text)
{
    const size_t length = std::min<size_t>(text.size(), 255);
    std::memset(field, 0, sizeof(field));
    field[0] = static_cast<unsigned char>(length);
    std::memcpy(field + 1, text.data(), length);
}

void TMemoryStream::Write(const void* data, size_t count)
{
    if (count == 0)
        return;
    if (Pos == Bytes.size())
        Bytes.append(static_cast<const char*>(data), count);
    else {
        if (Pos + count > Bytes.size())
            Bytes.resize(Pos + count);
        std::memcpy(Bytes.data() + Pos, data, count);
    }
    Pos += count;
}

size_t TMemoryStream::Read(void* data, size_t count)
{
    const size_t done = std::min(count, Bytes.size() - Pos);
    std::memcpy(data, Bytes.data() + Pos, done);
    Pos += done;
    return done;
}

TZLBArchive::TZLBArchive() = default;

TZLBArchive::~TZLBArchive()
{
    Destroying = true;
    if (!ArchiveName.empty() || !WideName.empty())
        CloseArchive();
}

void TZLBArchive::Reset()
{
    Entries.clear();
    Entries.shrink_to_fit();
    Trailer = TArchiveTrailer{};
    ArchiveName.clear();
    WideName.clear();
    ProgressState = psIdle;
}

void TZLBArchive::CloseArchive()
{
    Reset();
    DoProgress();
}

void TZLBArchive::DoProgress()
{
    if (Destroying || !OnProgress)
        return;
    if (ProgressState == psIdle) {
        OnProgress(ArchiveName, 0);
        return;
    }
    // Nothing to do counts as not started rather than dividing by zero.
    const int percentage =
        ProgressTotal > 0 ? static_cast<int>(std::lround(100.0 * ProgressDone / ProgressTotal)) : 0;
    OnProgress(ProgressMessage, percentage);
}

bool TZLBArchive::OpenArchive(const std::string& Name)
{
    return OpenNamed(Name, std::wstring());
}

#ifdef _WIN32
bool TZLBArchive::OpenArchive(const std::wstring& Name)
{
    return OpenNamed(Name.empty() ? std::string() : ArchiveDisplayName(Name), Name);
}
#endif

bool TZLBArchive::OpenFile(TArchiveFile& file) const
{
#ifdef _WIN32
    if (!WideName.empty())
        return file.Open(WideName);
#endif
    return file.Open(ArchiveName);
}

bool TZLBArchive::FileExists() const
{
#ifdef _WIN32
    if (!WideName.empty())
        return ArchiveFileExists(WideName);
#endif
    return ArchiveFileExists(ArchiveName);
}

bool TZLBArchive::OpenNamed(const std::string& Name, const std::wstring& Wide)
{
    // Copies: the caller may pass the component's own names, which closing clears.
    const std::string FileName = Name;
    const std::wstring WideFileName = Wide;
    CloseArchive();
    ArchiveName = FileName;
    WideName = WideFileName;
    if (ArchiveName.empty() && WideName.empty())
        return false;

    // Every failure leaves the component closed, so FileCount and the extractions refuse to run.
    auto fail = [this](const std::string& message) {
        Reset();
        return Exception(message);
    };

    if (!FileExists())
        throw fail(MsgArchiveMissed);
    TArchiveFile file;
    if (!OpenFile(file))
        throw fail(FormatMessage(MsgUnableToOpen, FileName));

    // A file too short for a trailer cannot carry a CRC to check; it counts as corrupted.
    const int64_t fileSize = file.Size();
    if (fileSize < TrailerSize)
        throw fail(MsgCorrupted);
    const int64_t dataEnd = fileSize - TrailerSize;
    try {
        uint32_t crc = TCrc32::Start;
        std::vector<unsigned char> block(CrcBlockSize);
        if (!file.Seek(0))
            throw TReadError{};
        for (int64_t remaining = dataEnd; remaining > 0;) {
            const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, CrcBlockSize));
            if (ReadFully(file, block.data(), want) != want)
                throw TReadError{};
            crc = CRCTable.Update(crc, block.data(), want);
            remaining -= static_cast<int64_t>(want);
        }
        if (ReadFully(file, &Trailer, sizeof(Trailer)) != sizeof(Trailer))
            throw TReadError{};
        if (Trailer.ArchiveCRC != TCrc32::Finish(crc))
            throw TReadError{};
    } catch (const TReadError&) {
        throw fail(MsgCorrupted);
    }

    try {
        ReadTable(file, dataEnd);
        if (OnArchiveOpened)
            OnArchiveOpened(this);
    } catch (...) {
        Reset();
        try {
            DoProgress();
        } catch (...) {
            // The handler's own failure must not replace the archive's message.
        }
        throw Exception(MsgListUnreadable);
    }

    ProgressState = psIdle;
    DoProgress();
    return true;
}

void TZLBArchive::ReadTable(TArchiveFile& file, int64_t dataEnd)
{
    const int64_t count = Trailer.FileCount;
    const int64_t offset = Trailer.TableOffset;
    if (count < 0 || offset < 0 || offset > dataEnd)
        throw TReadError{};
    const int64_t tableBytes = count * EntrySize;
    const int64_t available = dataEnd - offset;
    if (tableBytes > std::numeric_limits<int32_t>::max())
        throw TReadError{};

    if (Trailer.TableCompressed == 0) {
        if (tableBytes > available || !file.Seek(offset))
            throw TReadError{};
        Entries.resize(static_cast<size_t>(count));
        if (ReadFully(file, Entries.data(), static_cast<size_t>(tableBytes)) != static_cast<size_t>(tableBytes))
            throw TReadError{};
        return;
    }

    if (tableBytes > available * MaxInflateRatio + 1024)
        throw TReadError{};
    ProgressState = psReadingTable;
    ProgressMessage = "Extracting archive registry";
    ProgressTotal = static_cast<int32_t>(tableBytes);
    ProgressDone = 0;
    std::string table;
    TInflateReader reader(file, offset, dataEnd);
    char piece[PieceSize];
    do {
        const size_t done = reader.Read(piece, sizeof(piece));
        // A stream that inflates to more than the table stops here instead of filling memory.
        if (static_cast<int64_t>(table.size() + done) > tableBytes)
            throw TReadError{};
        table.append(piece, done);
        ProgressDone += static_cast<int32_t>(done);
        DoProgress();
    } while (!reader.Ended());
    if (!reader.Complete() || static_cast<int64_t>(table.size()) != tableBytes)
        throw TReadError{};
    Entries.resize(static_cast<size_t>(count));
    if (tableBytes > 0)
        std::memcpy(Entries.data(), table.data(), table.size());
}

int TZLBArchive::FileCount() const
{
    if (ArchiveName.empty())
        throw Exception(MsgNotOpen);
    return static_cast<int>(Entries.size());
}

void TZLBArchive::GetFileEntry(int Index, TArchiveFileEntry& Entry) const
{
    if (Index < 0 || static_cast<size_t>(Index) >= Entries.size())
        throw Exception(MsgBadIndex);
    Entry = Entries[static_cast<size_t>(Index)];
}

void TZLBArchive::ExtractStream(TMemoryStream& Dest, int Index)
{
    if (ArchiveName.empty())
        throw Exception(MsgNotOpen);
    ExtractEntry(Dest, Index);
}

void TZLBArchive::ExtractStreamByName(TMemoryStream& Dest, const std::string& Name)
{
    if (ArchiveName.empty())
        throw Exception(MsgNotOpen);
    const std::string wanted = AsciiLower(Name);
    for (size_t i = 0; i < Entries.size(); ++i)
        if (AsciiLower(EntryFullName(Entries[i])) == wanted) {
            ExtractEntry(Dest, static_cast<int>(i));
            return;
        }
    throw Exception(MsgNotFound);
}

void TZLBArchive::ExtractEntry(TMemoryStream& Dest, int Index)
{
    TArchiveFileEntry entry;
    GetFileEntry(Index, entry);
    TArchiveFile file;
    if (!OpenFile(file))
        throw Exception(FormatMessage(MsgUnableToOpen, ArchiveName));

    ProgressState = psExtracting;
    ProgressTotal = entry.Size;
    ProgressDone = 0;
    ProgressMessage = "Extracting " + EntryFileName(entry);
    try {
        // Data is read only up to the trailer; an entry that claims more ends where the data ends.
        const int64_t dataEnd = file.Size() - TrailerSize;
        if (entry.Offset < 0 || entry.Offset > dataEnd)
            throw TReadError{};
        if (entry.Size > 0) {
            std::optional<TInflateReader> reader;
            if (entry.Stored == 0)
                reader.emplace(file, entry.Offset, dataEnd);
            else if (!file.Seek(entry.Offset))
                throw TReadError{};
            int64_t position = entry.Offset;
            int64_t requested = 0;
            char piece[PieceSize];
            while (requested < entry.Size) {
                const size_t want = static_cast<size_t>(std::min<int64_t>(PieceSize, entry.Size - requested));
                requested += static_cast<int64_t>(want);
                size_t done;
                if (reader)
                    done = reader->Read(piece, want);
                else {
                    done = ReadFully(file, piece, static_cast<size_t>(std::min<int64_t>(want, dataEnd - position)));
                    position += static_cast<int64_t>(done);
                }
                ProgressDone += static_cast<int32_t>(done);
                DoProgress();
                if (done > 0)
                    Dest.Write(piece, done);
                if (done < want)
                    break;  // the data has ended: the destination stays short
            }
        }
    } catch (...) {
        ProgressState = psIdle;
        throw Exception(FormatMessage(MsgFileCorrupt, Index));
    }

    if (CheckCRC && CRCTable.Of(Dest.Memory(), Dest.Size()) != entry.CRC) {
        ProgressState = psIdle;
        throw Exception(FormatMessage(MsgFileCRC, Index));
    }
    if (OnStreamExtracted)
        OnStreamExtracted(EntryFullName(entry));
    ProgressState = psIdle;
    DoProgress();
}
