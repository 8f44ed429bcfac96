#pragma once
// Writes definition archives in memory: each file's data (zlib stream or raw), then the file
// table (zlib stream or raw), then the trailer. Used by dbdtool, the tests and the fuzzer seeds.
// The pieces are public so that tests can assemble deliberately damaged archives.
#include <cstdint>
#include <string>
#include <vector>

#include "spyware/archive/ZLIBArchive.h"

struct TArchiveInput {
    std::string FilePath;  // folder part, stored as given (normally empty or ending in "\")
    std::string FileName;
    std::string Content;
    bool Stored = false;   // raw bytes instead of a zlib stream
};

// One complete zlib (RFC 1950) stream of the bytes.
std::string ZlibCompress(const std::string& bytes, int level = -1);
uint32_t ZlibCrc32(const std::string& bytes);

TArchiveFileEntry MakeArchiveEntry(const std::string& filePath, const std::string& fileName, int32_t size,
                                   int32_t offset, uint32_t crc, bool stored);
// The table bytes of the entries, one 532-byte record after the other.
std::string TableBytes(const std::vector<TArchiveFileEntry>& entries);
// Appends the trailer (with the CRC of body) to body.
std::string SealArchive(std::string body, int32_t fileCount, int32_t tableOffset, bool tableCompressed);

// Throws std::runtime_error when a file or the archive is too large for 32-bit offsets.
std::string WriteArchive(const std::vector<TArchiveInput>& files, bool compressTable, int level = -1);
