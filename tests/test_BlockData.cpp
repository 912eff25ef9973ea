#include <ReportGenerator/BlockData.h>

#include "utils/UtilsTestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The text in a buffer of exactly its size (with its zero), for AddressSanitizer.
std::vector<char> buffer(const std::string& text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

// data in a buffer of the size a block of it needs: len + header + 2 bytes.
std::vector<char> blockBuffer(const std::string& data, size_t headerLength)
{
    std::vector<char> bytes(data.begin(), data.end());
    bytes.resize(data.size() + headerLength + 2, '?');
    return bytes;
}

std::string generated(const std::string& data, bool indefinite, size_t headerLength)
{
    std::vector<char> bytes = blockBuffer(data, headerLength);
    const long length = GenerateABD(bytes.data(), static_cast<int>(data.size()), indefinite);
    return std::string(bytes.data(), static_cast<size_t>(length));
}

// --- Reading a block header ---

struct HeaderRow
{
    std::string text;
    long dataLength;
    int headerLength;
};

class IsABDRows : public testing::TestWithParam<HeaderRow>
{
};

TEST_P(IsABDRows, GivesDataAndHeaderLength)
{
    std::vector<char> text = buffer(GetParam().text);
    int headerLength = -7;
    EXPECT_EQ(IsABD(text.data(), &headerLength), GetParam().dataLength);
    EXPECT_EQ(headerLength, GetParam().headerLength);
}

INSTANTIATE_TEST_SUITE_P(Inputs, IsABDRows,
    testing::Values(HeaderRow { "#15hello", 5, 3 }, HeaderRow { "#0hello", 5, 2 },
        HeaderRow { "15hello", 0, 0 }, HeaderRow { "#Xhello", 0, 0 }, HeaderRow { "#", 0, 0 },
        HeaderRow { "", 0, 0 }, HeaderRow { "#0", 0, 2 }, HeaderRow { "#0a\r\n", 3, 2 },
        HeaderRow { "#3128", 128, 5 }, HeaderRow { "#1512345", 5, 3 },
        HeaderRow { "#2-5xyz", 0, 4 }, HeaderRow { "#1xabc", 0, 3 }, HeaderRow { "#9", 0, 11 },
        HeaderRow { "#912", 12, 11 }, HeaderRow { "#9999999999", 999999999, 11 }),
    [](const testing::TestParamInfo<HeaderRow>& info) { return rowName(info.param.text); });

TEST(IsABD, NullArguments)
{
    int headerLength = 9;
    EXPECT_EQ(IsABD(nullptr, &headerLength), 0);
    EXPECT_EQ(headerLength, 0);
    EXPECT_EQ(IsABD("#15hello", nullptr), 5);
}

// --- Taking the data out ---

TEST(GetDataFromABD, MovesTheDataToTheStartAndZerosTheHeaderBytesAfterIt)
{
    std::vector<char> text = buffer("#15hello");
    EXPECT_EQ(GetDataFromABD(text.data()), 5);
    EXPECT_EQ(std::string(text.data(), text.size()), std::string("hello\0\0\0\0", 9));
}

TEST(GetDataFromABD, IndefiniteBlockKeepsItsLineEnd)
{
    std::vector<char> text = buffer("#0hi\r\n");
    EXPECT_EQ(GetDataFromABD(text.data()), 4);
    EXPECT_EQ(std::string(text.data(), 6), std::string("hi\r\n\0\0", 6));
}

TEST(GetDataFromABD, TextThatIsNoBlockStaysAsItIs)
{
    for (const std::string input : { "15hello", "#Xhello", "#1x", "#10" }) {
        std::vector<char> text = buffer(input);
        EXPECT_EQ(GetDataFromABD(text.data()), 0) << input;
        EXPECT_EQ(text.data(), input);
    }
    EXPECT_EQ(GetDataFromABD(nullptr), 0);
}

// --- Writing a block ---

TEST(GenerateABD, DefiniteHeaders)
{
    EXPECT_EQ(generated("hello", false, 3), "#15hello");
    EXPECT_EQ(generated("", false, 3), "#10");
    const std::string data(128, 'd');
    EXPECT_EQ(generated(data, false, 5), "#3128" + data);
}

struct LineEndRow
{
    std::string data;
    std::string block;
};

class IndefiniteRows : public testing::TestWithParam<LineEndRow>
{
};

TEST_P(IndefiniteRows, EndsWithALineEndAddedOnlyWhenMissing)
{
    EXPECT_EQ(generated(GetParam().data, true, 2), GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(Inputs, IndefiniteRows,
    testing::Values(LineEndRow { "hello", "#0hello\r\n" }, LineEndRow { "", "#0\r\n" },
        LineEndRow { "a", "#0a\r\n" }, LineEndRow { "\n", "#0\n" }, LineEndRow { "\r", "#0\r\r\n" },
        LineEndRow { "hi\n", "#0hi\n" }, LineEndRow { "hi\r\n", "#0hi\r\n" },
        LineEndRow { "hi\n\n", "#0hi\n\n" }, LineEndRow { "hi\r\r", "#0hi\r\r" },
        LineEndRow { "hi\n\r", "#0hi\n\r\r\n" }),
    [](const testing::TestParamInfo<LineEndRow>& info) { return rowName(info.param.data); });

TEST(GenerateABD, RefusesWhatNoBlockCanHoldAndChangesNothing)
{
    std::vector<char> bytes = buffer("data");
    EXPECT_EQ(GenerateABD(nullptr, 4, false), 0);
    EXPECT_EQ(GenerateABD(bytes.data(), -1, false), 0);
    EXPECT_EQ(GenerateABD(bytes.data(), -1, true), 0);
    // Ten length digits do not fit the one-digit count; nothing is touched.
    EXPECT_EQ(GenerateABD(bytes.data(), 1000000000, false), 0);
    EXPECT_STREQ(bytes.data(), "data");
}

class RoundTripRows : public testing::TestWithParam<int>
{
};

TEST_P(RoundTripRows, GeneratedBlocksReadBackWithTheirBinaryData)
{
    std::string data;
    for (int i = 0; i < GetParam(); ++i)
        data += static_cast<char>(i * 37);
    const size_t headerLength = 2 + std::to_string(data.size()).size();
    std::vector<char> bytes = blockBuffer(data, headerLength);
    const long blockLength = GenerateABD(bytes.data(), GetParam(), false);
    ASSERT_EQ(blockLength, static_cast<long>(headerLength + data.size()));
    int header = 0;
    EXPECT_EQ(IsABD(bytes.data(), &header), GetParam());
    EXPECT_EQ(header, static_cast<int>(headerLength));
    EXPECT_EQ(GetDataFromABD(bytes.data()), GetParam());
    EXPECT_EQ(std::string(bytes.data(), data.size()), data);
}

INSTANTIATE_TEST_SUITE_P(Lengths, RoundTripRows, testing::Values(1, 9, 10, 99, 100, 1000, 65536),
    [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

} // namespace
