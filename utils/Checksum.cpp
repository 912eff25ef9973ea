#include <ReportGenerator/Checksum.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr uint16_t CRC16_POLYNOMIAL = 0x1021;

constexpr uint64_t CHECKSUM_INITIAL_KEY = 55665;
constexpr uint64_t CHECKSUM_MULTIPLIER = 52845;
constexpr uint64_t CHECKSUM_INCREMENT = 22719;

} // namespace

unsigned short GenCRC16TableEntry(unsigned short index)
{
    unsigned value = (index & 0xFFu) << 8;
    for (int bit = 0; bit < 8; ++bit) {
        value = (value & 0x8000u) ? (value << 1) ^ CRC16_POLYNOMIAL : value << 1;
        value &= 0xFFFFu;
    }
    return static_cast<unsigned short>(value);
}

unsigned short Crc16(unsigned char* data, int len)
{
    unsigned crc = 0;
    for (int i = 0; data && i < len; ++i) {
        const unsigned index = (data[i] ^ (crc >> 8)) & 0xFFu;
        crc = (GenCRC16TableEntry(static_cast<unsigned short>(index)) ^ (crc << 8)) & 0xFFFFu;
    }
    return static_cast<unsigned short>(crc);
}

unsigned long CalculateChecksum(unsigned short* words, int len)
{
    const int count = len / 2;
    uint64_t key = CHECKSUM_INITIAL_KEY;
    uint64_t sum = 0;
    for (int i = 0; words && i < count; ++i) {
        uint16_t word;
        // The caller's bytes need not be aligned for 16-bit access.
        memcpy(&word, reinterpret_cast<const unsigned char*>(words) + 2 * i, sizeof word);
        const uint64_t c = word ^ (key >> 8);
        sum += c;
        key = (c + key) * CHECKSUM_MULTIPLIER + CHECKSUM_INCREMENT;
    }
    return sum;
}
