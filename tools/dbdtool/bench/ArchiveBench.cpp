// Benchmark of the archive reader against zlib on the same bytes, in the same run.
// Usage: ArchiveBench SCRATCH_FILE [ENTRIES] [ENTRY_KB]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "ArchiveWriter.h"
#include "spyware/archive/Crc32.h"
#include "spyware/archive/ZLIBArchive.h"

namespace {

// Best of several runs, in seconds; the file stays in the page cache throughout.
double Time(const std::function<void()>& work, int runs = 5)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void Print(const char* what, double seconds, double megabytes)
{
    std::printf("  %-46s %8.1f ms  %8.0f MB/s\n", what, seconds * 1000, megabytes / seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string path = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 3100;
    const size_t size = (argc > 3 ? std::atoi(argv[3]) : 20) * 1024;

    // Three quarters incompressible bytes, then definition-like text; every fourth entry stored raw.
    std::mt19937 random(12345);
    std::vector<TArchiveInput> files;
    for (int i = 0; i < count; ++i) {
        std::string content(size / 4 * 3, '\0');
        for (char& c : content)
            c = static_cast<char>(random());
        while (content.size() < size)
            content += "Key" + std::to_string(random() % 1000) + "=HKEY_LOCAL_MACHINE\\Software\\Sample\r\n";
        content.resize(size);
        files.push_back({i % 2 ? "Defs\\" : "", "Entry" + std::to_string(i) + ".def", std::move(content), i % 4 == 0});
    }
    const std::string archive = WriteArchive(files, true);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
    }
    size_t contentBytes = 0;
    for (const TArchiveInput& file : files)
        contentBytes += file.Content.size();
    const double archiveMB = archive.size() / 1048576.0, contentMB = contentBytes / 1048576.0;
    const size_t checked = archive.size() - sizeof(TArchiveTrailer);
    std::printf("archive: %.1f MB, %d entries, %.1f MB of content (host build, best of 5 runs)\n", archiveMB, count,
                contentMB);

    std::printf("open (whole-file CRC + compressed table):\n");
    const double open = Time([&] {
        TZLBArchive reader;
        reader.OpenArchive(path);
    });
    Print("TZLBArchive::OpenArchive", open, archiveMB);
    uint32_t zlibCrc = 0;
    const double zlibFile = Time([&] {
        FILE* file = std::fopen(path.c_str(), "rb");
        std::vector<unsigned char> block(10240);
        uLong crc = crc32(0, nullptr, 0);
        for (size_t left = checked; left > 0;) {
            const size_t want = std::min(left, block.size());
            if (std::fread(block.data(), 1, want, file) != want)
                break;
            crc = crc32(crc, block.data(), static_cast<uInt>(want));
            left -= want;
        }
        std::fclose(file);
        zlibCrc = static_cast<uint32_t>(crc);
    });
    Print("zlib crc32, file read in 10,240-byte blocks", zlibFile, archiveMB);
    const double zlibMemory = Time([&] {
        zlibCrc = static_cast<uint32_t>(
            crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(archive.data()), static_cast<uInt>(checked)));
    });
    Print("zlib crc32, in memory", zlibMemory, archiveMB);
    const TCrc32 own;
    uint32_t ownCrc = 0;
    const double ownMemory = Time([&] { ownCrc = own.Of(archive.data(), checked); });
    Print("own table-driven CRC-32, in memory", ownMemory, archiveMB);
    if (ownCrc != zlibCrc)
        std::printf("  CRC MISMATCH %08X %08X\n", ownCrc, zlibCrc);
    std::printf("  ratio open / zlib crc32 (file): %.2f; own CRC / zlib crc32 (memory): %.2f\n", open / zlibFile,
                ownMemory / zlibMemory);

    std::printf("extract every entry:\n");
    TZLBArchive reader;
    reader.OpenArchive(path);
    const double extract = Time(
        [&] {
            for (int i = 0; i < count; ++i) {
                TMemoryStream stream;
                reader.ExtractStream(stream, i);
            }
        },
        3);
    Print("TZLBArchive::ExtractStream, every entry", extract, contentMB);
    const double inflateOnly = Time(
        [&] {
            std::vector<unsigned char> out(size);
            for (int i = 0; i < count; ++i) {
                TArchiveFileEntry entry;
                reader.GetFileEntry(i, entry);
                if (entry.Stored) {
                    std::memcpy(out.data(), archive.data() + entry.Offset, static_cast<size_t>(entry.Size));
                    continue;
                }
                uLongf size = static_cast<uLongf>(out.size());
                uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(archive.data() + entry.Offset),
                           static_cast<uLong>(archive.size() - entry.Offset));
            }
        },
        3);
    Print("zlib uncompress of the same data, in memory", inflateOnly, contentMB);
    std::printf("  ratio extract / plain inflate: %.2f\n", extract / inflateOnly);
    return 0;
}
