// libFuzzer target: the input is written to a scratch file, opened, listed and fully extracted.
// Unless the last byte's low bit is set, the trailer CRC is made to match first, so that the
// fuzzer gets past the whole-file check and reaches the table and the entries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "common/Exception.h"
#include "spyware/archive/Crc32.h"
#include "spyware/archive/ZLIBArchive.h"

namespace {

const std::string& ScratchName()
{
    static const std::string name = [] {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/archive-fuzz." + std::to_string(getpid()) + ".dbd";
    }();
    return name;
}

void Check(bool condition)
{
    if (!condition)
        std::abort(); // the fuzzer reports it as a crash
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    bool checkCRC = false;
    if (size >= sizeof(TArchiveTrailer)) {
        // The reserved trailer bytes steer the run; the reader never looks at them.
        checkCRC = bytes[size - 2] & 1;
        if (!(bytes[size - 1] & 1)) {
            static const TCrc32 crc;
            const uint32_t value = crc.Of(bytes.data(), size - sizeof(TArchiveTrailer));
            std::memcpy(bytes.data() + size - sizeof(TArchiveTrailer), &value, sizeof(value));
        }
    }
    FILE* file = std::fopen(ScratchName().c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    TZLBArchive archive;
    archive.CheckCRC = checkCRC;
    archive.OnProgress = [](const std::string&, int percentage) { Check(percentage >= 0 && percentage <= 100); };
    bool opened = false;
    try {
        opened = archive.OpenArchive(ScratchName());
    } catch (const Exception&) {
        // A failed open leaves nothing open.
        try {
            archive.FileCount();
            Check(false);
        } catch (const Exception& error) {
            Check(std::strcmp(error.what(), "No archive is currently open") == 0);
        }
        return 0;
    }
    Check(opened);
    const int count = archive.FileCount();
    Check(count >= 0 && count == archive.GetTrailer().FileCount);
    // A few kilobytes may legitimately inflate to tens of megabytes per entry; a budget keeps each
    // run short without hiding any path.
    size_t budget = 32u << 20;
    for (int i = 0; i < count && budget > 0; ++i) {
        TArchiveFileEntry entry;
        archive.GetFileEntry(i, entry);
        TMemoryStream content;
        try {
            archive.ExtractStream(content, i);
            // Never more than the entry claims, whatever its data holds.
            Check(content.Size() <= static_cast<size_t>(entry.Size > 0 ? entry.Size : 0));
        } catch (const Exception&) {
        }
        budget -= std::min(budget, std::max<size_t>(content.Size(), 1));
        if (i == 0) {
            TMemoryStream byName;
            try {
                archive.ExtractStreamByName(byName, EntryFullName(entry));
            } catch (const Exception&) {
            }
        }
    }
    return 0;
}
