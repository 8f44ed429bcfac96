#include "ArchiveWriter.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include <zlib.h>

std::string ZlibCompress(const std::string& bytes, int level)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), level) != Z_OK)
        throw std::runtime_error("zlib could not compress the data");
    out.resize(size);
    return out;
}

uint32_t ZlibCrc32(const std::string& bytes)
{
    // zlib's own CRC, so that the reader's table-driven one is checked against an independent one.
    return static_cast<uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TArchiveFileEntry MakeArchiveEntry(const std::string& filePath, const std::string& fileName, int32_t size,
                                   int32_t offset, uint32_t crc, bool stored)
{
    TArchiveFileEntry entry;
    std::memset(&entry, 0, sizeof(entry));
    SetEntryString(entry.FileName, fileName);
    SetEntryString(entry.FilePath, filePath);
    entry.Size = size;
    entry.Offset = offset;
    entry.CRC = crc;
    entry.Stored = stored ? 1 : 0;
    return entry;
}

std::string TableBytes(const std::vector<TArchiveFileEntry>& entries)
{
    return std::string(reinterpret_cast<const char*>(entries.data()), entries.size() * sizeof(TArchiveFileEntry));
}

std::string SealArchive(std::string body, int32_t fileCount, int32_t tableOffset, bool tableCompressed)
{
    TArchiveTrailer trailer;
    std::memset(&trailer, 0, sizeof(trailer));
    trailer.ArchiveCRC = ZlibCrc32(body);
    trailer.FileCount = fileCount;
    trailer.TableOffset = tableOffset;
    trailer.TableCompressed = tableCompressed ? 1 : 0;
    body.append(reinterpret_cast<const char*>(&trailer), sizeof(trailer));
    return body;
}

std::string WriteArchive(const std::vector<TArchiveInput>& files, bool compressTable, int level)
{
    constexpr size_t limit = std::numeric_limits<int32_t>::max();
    std::string body;
    std::vector<TArchiveFileEntry> entries;
    for (const TArchiveInput& file : files) {
        if (file.Content.size() > limit || body.size() > limit)
            throw std::runtime_error("archive too large: " + file.FileName);
        const std::string data = file.Stored ? file.Content : ZlibCompress(file.Content, level);
        entries.push_back(MakeArchiveEntry(file.FilePath, file.FileName, static_cast<int32_t>(file.Content.size()),
                                           static_cast<int32_t>(body.size()), ZlibCrc32(file.Content), file.Stored));
        body += data;
    }
    if (body.size() > limit)
        throw std::runtime_error("archive too large");
    const auto tableOffset = static_cast<int32_t>(body.size());
    const std::string table = TableBytes(entries);
    body += compressTable ? ZlibCompress(table, level) : table;
    if (body.size() > limit)
        throw std::runtime_error("archive too large");
    return SealArchive(std::move(body), static_cast<int32_t>(entries.size()), tableOffset, compressTable);
}
