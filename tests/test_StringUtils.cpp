#include "UtilityTests.h"

#include <cfloat>
#include <cmath>

// input, trim (the in-list one with "-"): the whole buffer afterwards
const std::tuple<const char*, void (*)(char*), std::string> TRIMS[] = { { "  ", TrimLeft, "\0\0"s },
    { "  ", TrimRight, "\0\0"s }, { "\t  abc\r\n", TrimLeft, "abc\r\n\0\0\0"s },
    { "\t  abc\r\n", TrimRight, "\t  abc\0\0"s }, { "\t  abc\r\n", Trim, "abc\0\0\0\0\0"s },
    { "\vabc\f", Trim, "\vabc\f" },
    { "--x--", [](char* s) { TrimInList(s, Text("-")); }, "x\0\0\0\0"s } };
TABLE_TEST(Table, Trimming, RemovesTheCharactersAtEitherEndAndZeroesTheFreedTail, TRIMS)
{
    std::string text = std::get<0>(GetParam());
    std::get<1>(GetParam())(text.data());
    EXPECT_EQ(text, std::get<2>(GetParam()));
}

// text: isNumber, then asciiToQuint8, 16 and 32 (-1: refused)
const std::tuple<const char*, bool, int, long, long long> NUMBERS[] = { { "", true, -1, 0, 0 },
    { "7x", false, 7, -1, -1 }, { "x7", false, -1, -1, -1 }, { "70000", true, 112, 4464, 70000 },
    { "12345678901", true, 53, 7221, 3755744309 }, { "123456789012", false, 20, -1, -1 } };
TABLE_TEST(Table, Numbers, AreDigitsOnlyCutToTheWidthOfTheirValue, NUMBERS)
{
    const auto& [input, number, quint8, quint16, quint32] = GetParam();
    const auto parsed = [&](auto parse, auto v) { return parse(Text(input), &v) ? v + 0LL : -1; };
    EXPECT_EQ(std::tuple(isNumber(Text(input)), parsed(asciiToQuint8, std::uint8_t {}),
                  parsed(asciiToQuint16, std::uint16_t {}), parsed(asciiToQuint32, 0u)),
        std::tuple(number, quint8, quint16, quint32));
}

// digit, position: the value
const std::tuple<char, int, int> HEX[] = { { 'A', 2, 2560 }, { 'F', 1, 240 }, { 'a', 0, 10 },
    { 'f', 255, INT_MAX }, { '9', 7, INT_MAX }, { '/', 0, -160 }, { '@', 0, -160 },
    { 'G', 0, -160 }, { 'g', 0, -160 } };
TABLE_TEST(Table, HexDigit, IsWorth16ToThePowerOfItsPosition, HEX)
{
    const auto& [digit, position, value] = GetParam();
    EXPECT_EQ(HexStrToInt(digit, static_cast<char>(position)), value);
}

// value, base: the text
const std::tuple<int, int, const char*> ITOA[] = { { -255, 16, "-ff" }, { 0, 2, "0" },
    { 34, 35, "y" }, { 5, 36, "" }, { 6, 1, "" }, { INT_MIN, 10, "-2147483648" },
    { INT_MAX, 2, "1111111111111111111111111111111" } };
TABLE_TEST(Table, Itoa, WritesTheValueInBases2To35, ITOA)
{
    char text[34];
    itoa(std::get<0>(GetParam()), text, std::get<1>(GetParam()));
    EXPECT_STREQ(text, std::get<2>(GetParam()));
}

TEST(SmallHelpers, ReverseSwapCopyBitsWriteHexMarkTheLightLimitsAndRefuseNulls)
{
    char text[] = "abcd", out[7] = "keep", dash[] = "-";
    strreverse(text + 1, text + 3);
    EXPECT_STREQ(text, "adcb");
    EXPECT_EQ(EndianConvertInt32(0xAABB11223344ul), 0x44332211ul);
    EXPECT_EQ(EndianConvertInt16(0x1234), 0x3412);
    EXPECT_EQ(ByteToHexStr("a", 0, out) + ByteToHexStr(nullptr, 1, out), 2 * STRING_UTILS_ERROR);
    EXPECT_EQ(ByteToHexStr("\x00\xAB\xFF", 3, out) ? "" : out, std::string("00ABFF"));
    float value = 0;
    EXPECT_EQ(SetFloatToInt(&value, 0x7f800000) + SetFloatToInt(nullptr, 1), 0x7f800001u);
    EXPECT_TRUE(IsInList('-', dash) && !IsInList('x', dash) && !IsInList('\0', dash));
    EXPECT_TRUE(IS_MIN_LIGHT(-INFINITY) && IS_MAX_LIGHT(value) && !IS_MIN_LIGHT(value));
    strreverse(nullptr, dash), TrimInList(nullptr, dash);
    EXPECT_FALSE(IsInList('-', nullptr) || isNumber(nullptr) || asciiToQuint16(dash, nullptr)
        || isMultiCmds(nullptr) || getMultiCmd(0, nullptr, dash) || getMultiCmd(0, out, nullptr)
        || asciiToQuint8(nullptr, reinterpret_cast<unsigned char*>(out)));
}

// commands, index: whether the command is found, what out holds, the semicolons counted
const std::string C99(99, 'c');
const std::tuple<std::string, int, bool, std::string, int> COMMANDS[] = {
    { "A;B\n", 1, true, "B\r\n", 1 }, { "A;B", 1, false, "B", 1 },
    { "A\r\nB;", 1, true, "\r\n", 1 }, { "A;B;", 5, false, "", 2 }, { "", 0, false, "keep", 0 },
    { C99 + ";", 0, true, C99 + "\r\n", 1 }, { C99 + "c;", 0, false, C99, 1 }
};
TABLE_TEST(Table, Commands, AreCountedAndPickedBySeparator, COMMANDS)
{
    const auto& [commands, index, found, out, semicolons] = GetParam();
    std::string text = commands, result = "keep" + std::string(98, '\0');
    EXPECT_EQ(getMultiCmd(index, result.data(), text.data()), found);
    EXPECT_STREQ(result.c_str(), out.c_str());
    EXPECT_EQ(isMultiCmds(text.data()), semicolons);
}

// value, decimals: the text, cut to 79
const std::tuple<float, int, std::string> POWERS[] = { { -INFINITY, 2, "--------" },
    { INFINITY, 2, "++++++++" }, { -3.14159f, 2, "-3.14" },
    { FLT_MAX, 60, "340282346638528859811704183484516925440." + std::string(39, '0') },
    { 1.0f, 255, "1." + std::string(77, '0') } };
TABLE_TEST(Table, Power, IsTextWithItsDecimalsOrTheMarkOfTheLightLimit, POWERS)
{
    const auto& [value, decimals, text] = GetParam();
    char dest[80];
    EXPECT_EQ(PowerFloatToStr(value, static_cast<char>(decimals), dest), text);
    EXPECT_EQ(dest, text);
}
