#include "UtilityTests.h"

// The CRC-16/XMODEM check values, and table entries of the polynomial 0x1021 for the index's
// low byte.
TEST(Crc16, GivesTheCheckValuesOfThePolynomial1021AndZeroForNoBytes)
{
    unsigned char abc[] = "abc", digits[] = "123456789";
    EXPECT_EQ(std::tuple(Crc16(digits, 9), Crc16(abc, 3)), std::tuple(0x31C3, 0x9DD6));
    EXPECT_EQ(Crc16(abc, 0) + Crc16(nullptr, 3) + CalculateChecksum(nullptr, 4), 0u);
    const unsigned short entries[][2] = { { 1, 0x1021 }, { 0x80, 0x9188 }, { 0x1FF, 0x1EF0 } };
    for (const auto& [index, entry] : entries)
        EXPECT_EQ(GenCRC16TableEntry(index), entry) << index;
}

// words, len in bytes: the checksum
const std::tuple<std::vector<unsigned short>, int, unsigned long> SUMS[] = { { { 0 }, 2, 217 },
    { { 0, 0 }, 4, 11535791 }, { { 0, 0, 0 }, 6, 611990197202 }, { { 0, 0xFFFF }, 3, 217 },
    { { 0 }, 1, 0 }, { { 0 }, -4, 0 } };
TABLE_TEST(Table, Checksum, RunsA64BitKeyOverTheWholeWords, SUMS)
{
    std::vector<unsigned short> words = std::get<0>(GetParam());
    EXPECT_EQ(CalculateChecksum(words.data(), std::get<1>(GetParam())), std::get<2>(GetParam()));
}
