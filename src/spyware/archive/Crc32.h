#pragma once
// Reflected CRC-32 (polynomial 0xEDB88320, start 0xFFFFFFFF, final complement), table-driven.
// Row 0 of the table is the classic 256-entry byte table; rows 1-15 let Update consume sixteen
// bytes per step, which keeps the whole-archive check of every open close to zlib's own speed.
#include <cstddef>
#include <cstdint>

class TCrc32 {
public:
    TCrc32();

    // Continues a running CRC; start with Start and finish with Finish.
    uint32_t Update(uint32_t crc, const void* data, size_t length) const;
    static constexpr uint32_t Start = 0xFFFFFFFFu;
    static uint32_t Finish(uint32_t crc) { return crc ^ 0xFFFFFFFFu; }

    // The CRC-32 of one block of bytes.
    uint32_t Of(const void* data, size_t length) const { return Finish(Update(Start, data, length)); }

private:
    uint32_t Table[16][256];
};
