#include <ReportGenerator/Checksum.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> bytesOf(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

unsigned short crcOf(std::vector<unsigned char> bytes)
{
    return Crc16(bytes.data(), static_cast<int>(bytes.size()));
}

// Bit by bit, the textbook way: no table entries.
unsigned short bitwiseXmodem(const std::vector<unsigned char>& bytes)
{
    unsigned crc = 0;
    for (const unsigned char byte : bytes) {
        crc ^= static_cast<unsigned>(byte) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000u) ? ((crc << 1) ^ 0x1021u) & 0xFFFFu : (crc << 1) & 0xFFFFu;
    }
    return static_cast<unsigned short>(crc);
}

unsigned long checksumOfWords(std::vector<unsigned short> words)
{
    return CalculateChecksum(words.data(), static_cast<int>(2 * words.size()));
}

// --- CRC-16/XMODEM ---

TEST(Crc16, CheckValues)
{
    EXPECT_EQ(crcOf(bytesOf("123456789")), 0x31C3);
    EXPECT_EQ(crcOf(bytesOf("abc")), 0x9DD6);
    EXPECT_EQ(crcOf(bytesOf(std::string(4, '\xff'))), 0x99CF);
}

TEST(Crc16, NoBytesGiveZero)
{
    unsigned char byte = 'a';
    EXPECT_EQ(Crc16(&byte, 0), 0);
    EXPECT_EQ(Crc16(&byte, -5), 0);
    EXPECT_EQ(Crc16(nullptr, 3), 0);
}

TEST(Crc16, AgreesWithTheBitwiseAlgorithmOnEveryByteAndLength)
{
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<unsigned char>(i));
    EXPECT_EQ(crcOf(bytes), 0x7E55);
    for (size_t length = 0; length <= bytes.size(); length += 17) {
        const std::vector<unsigned char> part(bytes.begin(), bytes.begin() + length);
        EXPECT_EQ(crcOf(part), bitwiseXmodem(part)) << length << " bytes";
    }
}

TEST(GenCRC16TableEntry, ListedEntriesAndOnlyTheLowByteCounts)
{
    EXPECT_EQ(GenCRC16TableEntry(0), 0);
    EXPECT_EQ(GenCRC16TableEntry(1), 0x1021);
    EXPECT_EQ(GenCRC16TableEntry(0x80), 0x9188);
    EXPECT_EQ(GenCRC16TableEntry(0x101), 0x1021);
    for (unsigned short index = 0; index < 256; ++index)
        EXPECT_EQ(GenCRC16TableEntry(index), bitwiseXmodem({ static_cast<unsigned char>(index) }))
            << index;
}

// --- Running-key checksum ---

TEST(CalculateChecksum, CheckValues)
{
    EXPECT_EQ(checksumOfWords({ 0 }), 217u);
    EXPECT_EQ(checksumOfWords({ 0, 0 }), 11535791u);
    EXPECT_EQ(checksumOfWords({ 217 }), 0u);
    EXPECT_EQ(checksumOfWords({ 0xFFFF }), 65318u);
}

TEST(CalculateChecksum, TheKeyGrowsToSixtyFourBits)
{
    EXPECT_EQ(checksumOfWords({ 0, 0, 0 }), 611990197202u);
    EXPECT_EQ(checksumOfWords(std::vector<unsigned short>(8, 0)), 178160545324786394u);
}

TEST(CalculateChecksum, LenCountsBytesAndAnOddLastByteIsIgnored)
{
    unsigned short words[2] = { 0, 0xFFFF };
    EXPECT_EQ(CalculateChecksum(words, 1), 0u);
    EXPECT_EQ(CalculateChecksum(words, 0), 0u);
    EXPECT_EQ(CalculateChecksum(words, -4), 0u);
    EXPECT_EQ(CalculateChecksum(words, 3), 217u);
    EXPECT_EQ(CalculateChecksum(nullptr, 4), 0u);
}

TEST(CalculateChecksum, WordsAreReadInHostOrderFromUnalignedBytes)
{
    unsigned char bytes[5] = { 0 };
    const unsigned short word = 217;
    memcpy(bytes + 1, &word, sizeof word);
    EXPECT_EQ(CalculateChecksum(reinterpret_cast<unsigned short*>(bytes + 1), 2), 0u);
}

} // namespace
