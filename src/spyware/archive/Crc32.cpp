#include "spyware/archive/Crc32.h"

TCrc32::TCrc32()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        Table[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int row = 1; row < 16; ++row)
            Table[row][n] = (Table[row - 1][n] >> 8) ^ Table[0][Table[row - 1][n] & 0xFF];
}

uint32_t TCrc32::Update(uint32_t crc, const void* data, size_t length) const
{
    auto p = static_cast<const unsigned char*>(data);
    // Words are assembled byte by byte, so the result does not depend on alignment or byte order.
    const auto word = [](const unsigned char* q) {
        return uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16 | uint32_t(q[3]) << 24;
    };
    while (length >= 16) {
        const uint32_t a = crc ^ word(p), b = word(p + 4), c = word(p + 8), d = word(p + 12);
        crc = Table[15][a & 0xFF] ^ Table[14][(a >> 8) & 0xFF] ^ Table[13][(a >> 16) & 0xFF] ^ Table[12][a >> 24]
            ^ Table[11][b & 0xFF] ^ Table[10][(b >> 8) & 0xFF] ^ Table[9][(b >> 16) & 0xFF] ^ Table[8][b >> 24]
            ^ Table[7][c & 0xFF] ^ Table[6][(c >> 8) & 0xFF] ^ Table[5][(c >> 16) & 0xFF] ^ Table[4][c >> 24]
            ^ Table[3][d & 0xFF] ^ Table[2][(d >> 8) & 0xFF] ^ Table[1][(d >> 16) & 0xFF] ^ Table[0][d >> 24];
        p += 16;
        length -= 16;
    }
    while (length--)
        crc = Table[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}
