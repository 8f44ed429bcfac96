#include "spyware/archive/InflateReader.h"

#include <algorithm>

TInflateReader::TInflateReader(TArchiveFile& file, int64_t start, int64_t end) : File(file), Position(start), End(end)
{
    if (!File.Seek(start) || inflateInit(&Stream) != Z_OK)
        throw TReadError{};
    Initialised = true;
}

TInflateReader::~TInflateReader()
{
    if (Initialised)
        inflateEnd(&Stream);
}

size_t TInflateReader::Read(void* buffer, size_t count)
{
    Stream.next_out = static_cast<Bytef*>(buffer);
    Stream.avail_out = static_cast<uInt>(count);
    while (Stream.avail_out > 0 && !StreamEnded) {
        if (Stream.avail_in == 0) {
            if (Position >= End) {
                InputEnded = true;
                break;
            }
            const size_t want = static_cast<size_t>(std::min<int64_t>(sizeof(Input), End - Position));
            const size_t done = ReadFully(File, Input, want);
            if (done == 0) {
                InputEnded = true;
                break;
            }
            Position += static_cast<int64_t>(done);
            Stream.next_in = Input;
            Stream.avail_in = static_cast<uInt>(done);
        }
        const int result = inflate(&Stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            StreamEnded = true;
        else if (result == Z_BUF_ERROR && Stream.avail_in == 0)
            continue; // only wants more input
        else if (result != Z_OK)
            throw TReadError{};
    }
    return count - Stream.avail_out;
}
