#include "UtilityTests.h"

// text: the data length, the header length, and the text after GetDataFromABD without its
// final zero (empty: not taken out, the data is not all there)
const std::tuple<std::string, long, int, std::string> READS[] = {
    { "#15hello", 5, 3, "hello\0\0\0"s }, { "#0hi\r\n", 4, 2, "hi\r\n\0\0"s },
    { "15hello", 0, 0, "15hello" }, { "#Xhello", 0, 0, "#Xhello" }, { "#3128", 128, 5, "" },
    { "#1512345", 5, 3, "12345\0\0\0"s }, { "#2-5xyz", 0, 4, "#2-5xyz" }, { "#9", 0, 11, "#9" },
    { "#912", 12, 11, "" }, { "#9999999999", 999999999, 11, "" }
};
TABLE_TEST(Table, Reading, TakesTheLengthFromTheHeaderDigitsOnly, READS)
{
    const auto& [input, length, headerLength, after] = GetParam();
    std::vector<char> text(input.c_str(), input.c_str() + input.size() + 1);
    int header = -7;
    EXPECT_EQ(IsABD(text.data(), &header), length);
    EXPECT_EQ(header, headerLength);
    if (!after.empty()) {
        EXPECT_EQ(GetDataFromABD(text.data()), length);
        EXPECT_EQ(std::string(text.data(), text.size() - 1), after);
    }
}

// data, indefinite: the block
const std::string BINARY = "\0\xff\n\r#91234"s;
const std::tuple<std::string, bool, std::string> BLOCKS[] = { { "hello", false, "#15hello" },
    { "", false, "#10" }, { BINARY, false, "#210" + BINARY }, { "hello", true, "#0hello\r\n" },
    { "", true, "#0\r\n" }, { "\n", true, "#0\n" }, { "\r", true, "#0\r\r\n" },
    { "hi\r\n", true, "#0hi\r\n" }, { "hi\r\r", true, "#0hi\r\r" },
    { "hi\n\r", true, "#0hi\n\r\r\n" } };
TABLE_TEST(Table, Generating, PutsTheHeaderBeforeTheDataAndEndsIndefiniteBlocksWithALineEnd, BLOCKS)
{
    const auto& [data, indefinite, block] = GetParam();
    // The caller's buffer: the data, then room for the header and a line end.
    std::vector<char> buffer(data.begin(), data.end());
    buffer.resize(indefinite ? data.size() + 4 : block.size() + 2, '?');
    const long length = GenerateABD(buffer.data(), static_cast<int>(data.size()), indefinite);
    EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(length)), block);
}

TEST(BlockData, RefusesNullsAndWhatNoBlockCanHold)
{
    char text[] = "data";
    EXPECT_EQ(GenerateABD(text, -1, true) + GenerateABD(text, 1000000000, false), 0);
    EXPECT_EQ(IsABD(nullptr, nullptr) + GetDataFromABD(nullptr), 0);
    EXPECT_EQ(GenerateABD(nullptr, 4, false), 0);
    EXPECT_STREQ(text, "data");
}
