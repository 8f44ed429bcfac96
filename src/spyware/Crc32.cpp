#include "spyware/Crc32.h"

#include <cstring>

TCrc32::TCrc32()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        Table[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int row = 1; row < 8; ++row)
            Table[row][n] = (Table[row - 1][n] >> 8) ^ Table[0][Table[row - 1][n] & 0xFF];
}

uint32_t TCrc32::Update(uint32_t crc, const void* data, size_t length) const
{
    auto p = static_cast<const unsigned char*>(data);
    // Eight bytes per step; the loads are assembled byte by byte so the result does not depend
    // on alignment or host byte order.
    while (length >= 8) {
        const uint32_t low = crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        const uint32_t high = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        crc = Table[7][low & 0xFF] ^ Table[6][(low >> 8) & 0xFF] ^ Table[5][(low >> 16) & 0xFF] ^ Table[4][low >> 24]
            ^ Table[3][high & 0xFF] ^ Table[2][(high >> 8) & 0xFF] ^ Table[1][(high >> 16) & 0xFF] ^ Table[0][high >> 24];
        p += 8;
        length -= 8;
    }
    while (length--)
        crc = Table[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}
