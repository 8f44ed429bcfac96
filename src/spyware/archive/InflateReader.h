#pragma once
// One zlib stream read from a region [start, end) of the archive file, handed out in pieces.
#include "spyware/archive/ArchiveFile.h"

#include <zlib.h>

class TInflateReader {
public:
    // Raises TReadError when the file cannot be positioned or zlib cannot start.
    TInflateReader(TArchiveFile& file, int64_t start, int64_t end);
    ~TInflateReader();
    TInflateReader(const TInflateReader&) = delete;
    TInflateReader& operator=(const TInflateReader&) = delete;

    // Fills up to count bytes; fewer only when the stream or the region has ended. Raises TReadError
    // on damaged data.
    size_t Read(void* buffer, size_t count);
    bool Ended() const { return StreamEnded || InputEnded; }
    bool Complete() const { return StreamEnded; }

private:
    TArchiveFile& File;
    int64_t Position;
    int64_t End;
    z_stream Stream{};
    bool Initialised = false;
    bool StreamEnded = false;
    bool InputEnded = false;
    Bytef Input[16384];
};
