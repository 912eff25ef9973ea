#include <ReportGenerator/StringUtils.h>

#include "utils/UtilsTestHelpers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A writable copy of text in a buffer of exactly its size, so that AddressSanitizer sees
// any access past it.
std::vector<char> buffer(const std::string& text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

std::string referenceTrim(const std::string& text, const std::string& set)
{
    const size_t first = text.find_first_not_of(set);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(set) - first + 1);
}

std::string nameOfRow(const testing::TestParamInfo<std::string>& info)
{
    return rowName(info.param);
}

// --- Trimming: against a simple reference ---

class TrimRows : public testing::TestWithParam<std::string>
{
};

TEST_P(TrimRows, TrimAgreesWithReference)
{
    std::vector<char> text = buffer(GetParam());
    Trim(text.data());
    EXPECT_EQ(text.data(), referenceTrim(GetParam(), " \t\r\n"));
}

TEST_P(TrimRows, TrimLeftZeroFillsTheFreedTail)
{
    std::vector<char> text = buffer(GetParam());
    TrimLeft(text.data());
    const std::string expected =
        GetParam().substr(std::min(GetParam().find_first_not_of(" \t\r\n"), GetParam().size()));
    EXPECT_EQ(text.data(), expected);
    for (size_t i = expected.size(); i < text.size(); ++i)
        EXPECT_EQ(text[i], '\0') << "byte " << i;
}

TEST_P(TrimRows, TrimRightKeepsTheStart)
{
    std::vector<char> text = buffer(GetParam());
    TrimRight(text.data());
    const size_t last = GetParam().find_last_not_of(" \t\r\n");
    EXPECT_EQ(text.data(), last == std::string::npos ? "" : GetParam().substr(0, last + 1));
}

INSTANTIATE_TEST_SUITE_P(Inputs, TrimRows,
    testing::Values("\t  abc\r\n", "     ", "", "abc", "a b", "  a", "a  ", "\vabc\v", "\fx\f",
        "\n\n\r\t", " \t x \t y \r\n "),
    nameOfRow);

TEST(TrimInList, RemovesListedCharactersAtBothEnds)
{
    std::vector<char> text = buffer("--x--");
    TrimInList(text.data(), const_cast<char*>("-"));
    EXPECT_STREQ(text.data(), "x");
}

TEST(TrimInList, KeepsUnlistedCharactersAndInnerOnes)
{
    std::vector<char> text = buffer("-+a-b+-");
    TrimInList(text.data(), const_cast<char*>("-"));
    EXPECT_STREQ(text.data(), "+a-b+");
}

TEST(IsInList, TheTerminatingZeroNeverCounts)
{
    EXPECT_TRUE(IsInList('b', const_cast<char*>("abc")));
    EXPECT_FALSE(IsInList('d', const_cast<char*>("abc")));
    EXPECT_FALSE(IsInList('\0', const_cast<char*>("abc")));
    EXPECT_FALSE(IsInList('a', nullptr));
}

// --- Numbers: against the C library ---

class IsNumberRows : public testing::TestWithParam<std::string>
{
};

TEST_P(IsNumberRows, IsUpToElevenDigitsAndNothingElse)
{
    const std::string& text = GetParam();
    const bool expected = strspn(text.c_str(), "0123456789") == text.size() && text.size() <= 11;
    std::vector<char> copy = buffer(text);
    EXPECT_EQ(isNumber(copy.data()), expected);
}

INSTANTIATE_TEST_SUITE_P(Inputs, IsNumberRows,
    testing::Values(
        "", "0", "7", "12345678901", "123456789012", "-1", "+1", " 1", "1 ", "1a", "0x1F"),
    nameOfRow);

class AsciiToQuintRows : public testing::TestWithParam<std::string>
{
};

TEST_P(AsciiToQuintRows, Quint8NeedsALeadingDigitAndCutsStrtolToEightBits)
{
    const std::string& text = GetParam();
    unsigned char value = 0xEE;
    const bool ok = asciiToQuint8(text.c_str(), &value);
    ASSERT_EQ(ok, isdigit(static_cast<unsigned char>(text[0])) != 0);
    if (ok)
        EXPECT_EQ(value, static_cast<unsigned char>(strtol(text.c_str(), nullptr, 10)));
    else
        EXPECT_EQ(value, 0xEE);
}

TEST_P(AsciiToQuintRows, Quint16And32NeedDigitsOnlyAndCutStrtol)
{
    std::vector<char> text = buffer(GetParam());
    const bool digitsOnly = isNumber(text.data());
    unsigned short value16 = 0xEEEE;
    unsigned int value32 = 0xEEEEEEEE;
    ASSERT_EQ(asciiToQuint16(text.data(), &value16), digitsOnly);
    ASSERT_EQ(asciiToQuint32(text.data(), &value32), digitsOnly);
    if (digitsOnly) {
        const long expected = strtol(text.data(), nullptr, 10);
        EXPECT_EQ(value16, static_cast<unsigned short>(expected));
        EXPECT_EQ(value32, static_cast<unsigned int>(expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, AsciiToQuintRows,
    testing::Values("7x", "x7", "", "300", "255", "65536", "70000", "4294967295", "99999999999",
        "123456789012", "-5", " 5"),
    nameOfRow);

TEST(AsciiToQuint, RejectsNullArguments)
{
    unsigned char value8 = 0;
    unsigned short value16 = 0;
    unsigned int value32 = 0;
    EXPECT_FALSE(asciiToQuint8(nullptr, &value8));
    EXPECT_FALSE(asciiToQuint8("5", nullptr));
    EXPECT_FALSE(asciiToQuint16(nullptr, &value16));
    EXPECT_FALSE(asciiToQuint16(const_cast<char*>("5"), nullptr));
    EXPECT_FALSE(asciiToQuint32(nullptr, &value32));
    EXPECT_FALSE(asciiToQuint32(const_cast<char*>("5"), nullptr));
}

TEST(HexStrToInt, EveryDigitAgreesWithStrtolAtPositionsZeroToSix)
{
    for (const char digit : std::string("0123456789abcdefABCDEF")) {
        const long value = strtol(std::string(1, digit).c_str(), nullptr, 16);
        for (int position = 0; position <= 6; ++position)
            EXPECT_EQ(
                HexStrToInt(digit, static_cast<char>(position)), value * (1L << (4 * position)))
                << digit << " at " << position;
    }
}

TEST(HexStrToInt, ListedValues)
{
    EXPECT_EQ(HexStrToInt('F', 1), 240);
    EXPECT_EQ(HexStrToInt('7', 7), 7 * (1 << 28));
    EXPECT_EQ(HexStrToInt('g', 0), STRING_UTILS_ERROR);
    EXPECT_EQ(HexStrToInt(' ', 0), -160);
    EXPECT_EQ(HexStrToInt('\0', 0), -160);
}

TEST(HexStrToInt, ProductsPastTheIntRangeSaturate)
{
    EXPECT_EQ(HexStrToInt('8', 7), INT_MAX);
    EXPECT_EQ(HexStrToInt('1', 8), INT_MAX);
    EXPECT_EQ(HexStrToInt('f', static_cast<char>(255)), INT_MAX);
    EXPECT_EQ(HexStrToInt('0', static_cast<char>(200)), 0);
}

TEST(ByteToHexStr, WritesUpperCaseDigitPairsAndAZero)
{
    const char bytes[] = { 0x00, static_cast<char>(0xAB), static_cast<char>(0xFF) };
    std::vector<char> out(7, 'x');
    EXPECT_EQ(ByteToHexStr(bytes, 3, out.data()), 0);
    EXPECT_STREQ(out.data(), "00ABFF");
}

TEST(ByteToHexStr, BadArgumentsLeaveOutUntouched)
{
    char out[4] = "abc";
    EXPECT_EQ(ByteToHexStr("a", 0, out), STRING_UTILS_ERROR);
    EXPECT_EQ(ByteToHexStr("a", -1, out), STRING_UTILS_ERROR);
    EXPECT_EQ(ByteToHexStr(nullptr, 1, out), STRING_UTILS_ERROR);
    EXPECT_EQ(ByteToHexStr("a", 1, nullptr), STRING_UTILS_ERROR);
    EXPECT_STREQ(out, "abc");
}

// --- itoa: base 10, 8 and 16 against snprintf; every base against strtol ---

class ItoaRows : public testing::TestWithParam<int>
{
};

std::string itoaText(int value, int base)
{
    char text[40];
    memset(text, 'x', sizeof text);
    itoa(value, text, base);
    return text;
}

TEST_P(ItoaRows, Base10AgreesWithSnprintf)
{
    char expected[16];
    snprintf(expected, sizeof expected, "%d", GetParam());
    EXPECT_EQ(itoaText(GetParam(), 10), expected);
}

TEST_P(ItoaRows, Bases8And16AgreeWithSnprintfOfTheMagnitude)
{
    const int value = GetParam();
    const unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char expected[16];
    snprintf(expected, sizeof expected, "%s%x", value < 0 ? "-" : "", magnitude);
    EXPECT_EQ(itoaText(value, 16), expected);
    snprintf(expected, sizeof expected, "%s%o", value < 0 ? "-" : "", magnitude);
    EXPECT_EQ(itoaText(value, 8), expected);
}

TEST_P(ItoaRows, EveryBaseReadsBackWithStrtol)
{
    for (int base = 2; base <= 35; ++base)
        EXPECT_EQ(strtol(itoaText(GetParam(), base).c_str(), nullptr, base), GetParam())
            << "base " << base;
}

INSTANTIATE_TEST_SUITE_P(Values, ItoaRows,
    testing::Values(0, 1, -1, 9, 10, 35, 255, -255, 1000000, INT_MAX, INT_MIN, INT_MIN + 1),
    [](const testing::TestParamInfo<int>& info) { return rowName(std::to_string(info.param)); });

TEST(Itoa, ListedTexts)
{
    EXPECT_EQ(itoaText(-255, 16), "-ff");
    EXPECT_EQ(itoaText(0, 2), "0");
    EXPECT_EQ(itoaText(34, 35), "y");
    EXPECT_EQ(itoaText(INT_MIN, 10), "-2147483648");
}

TEST(Itoa, BasesOutside2To35WriteTheEmptyString)
{
    for (const int base : { -10, 0, 1, 36, 37 })
        EXPECT_EQ(itoaText(5, base), "") << "base " << base;
}

TEST(Strreverse, ReversesBothEndsIncluded)
{
    char text[] = "abcd";
    strreverse(text, text + 3);
    EXPECT_STREQ(text, "dcba");
    strreverse(text + 1, text + 2);
    EXPECT_STREQ(text, "dbca");
}

TEST(Strreverse, DoesNothingUnlessBeginIsBeforeEnd)
{
    char text[] = "abc";
    strreverse(text + 1, text + 1);
    strreverse(text + 2, text);
    strreverse(nullptr, text);
    EXPECT_STREQ(text, "abc");
}

TEST(EndianConvert, ReversesTheBytes)
{
    EXPECT_EQ(EndianConvertInt32(0x11223344ul), 0x44332211ul);
    EXPECT_EQ(EndianConvertInt32(0xAABB11223344ul), 0x44332211ul);
    EXPECT_EQ(EndianConvertInt16(0x1234), 0x3412);
}

// --- Commands ---

TEST(IsMultiCmds, CountsSemicolonsOnly)
{
    EXPECT_EQ(isMultiCmds(const_cast<char*>("A;B;C")), 2);
    EXPECT_EQ(isMultiCmds(const_cast<char*>("A\r\nB\n")), 0);
    EXPECT_EQ(isMultiCmds(const_cast<char*>("")), 0);
    EXPECT_EQ(isMultiCmds(nullptr), 0);
}

struct CommandRow
{
    const char* commands;
    int index;
    bool found;
    const char* out;
};

class GetMultiCmdRows : public testing::TestWithParam<CommandRow>
{
};

TEST_P(GetMultiCmdRows, PicksTheCommandEndedByASeparator)
{
    const CommandRow& row = GetParam();
    std::vector<char> out(102, 'Z');
    out[101] = '\0';
    std::vector<char> commands = buffer(row.commands);
    EXPECT_EQ(getMultiCmd(row.index, out.data(), commands.data()), row.found);
    EXPECT_STREQ(out.data(), row.out);
}

INSTANTIATE_TEST_SUITE_P(Inputs, GetMultiCmdRows,
    testing::Values(CommandRow { "A;B\n", 1, true, "B\r\n" }, CommandRow { "A;B", 1, false, "B" },
        CommandRow { "A;B", 0, true, "A\r\n" }, CommandRow { "A\r\nB;", 1, true, "\r\n" },
        CommandRow { "A\r\nB;", 2, true, "B\r\n" }, CommandRow { "A;B;", 5, false, "" },
        CommandRow { "A;B", -1, false, "B" }, CommandRow { ";", 0, true, "\r\n" }),
    [](const testing::TestParamInfo<CommandRow>& info) {
        return rowName(info.param.commands) + "_" + rowName(std::to_string(info.param.index));
    });

TEST(GetMultiCmd, EmptyOrNullArgumentsFail)
{
    char out[102] = "keep";
    EXPECT_FALSE(getMultiCmd(0, out, const_cast<char*>("")));
    EXPECT_FALSE(getMultiCmd(0, out, nullptr));
    EXPECT_FALSE(getMultiCmd(0, nullptr, const_cast<char*>("A;")));
}

TEST(GetMultiCmd, ACommandOf99CharactersFitsTheBuffer)
{
    std::vector<char> commands = buffer(std::string(99, 'c') + ";");
    std::vector<char> out(102);
    EXPECT_TRUE(getMultiCmd(0, out.data(), commands.data()));
    EXPECT_EQ(std::string(out.data()), std::string(99, 'c') + "\r\n");
}

TEST(GetMultiCmd, ACommandOf100CharactersOrMoreFailsWithoutOverrun)
{
    std::vector<char> commands = buffer("x;" + std::string(500, 'c') + ";");
    std::vector<char> out(102);
    EXPECT_FALSE(getMultiCmd(1, out.data(), commands.data()));
    EXPECT_LT(strlen(out.data()), 100u);
}

// --- Power values ---

TEST(LightMarks, AreRecognisedByBitPattern)
{
    EXPECT_TRUE(IS_MIN_LIGHT(-INFINITY));
    EXPECT_FALSE(IS_MIN_LIGHT(INFINITY));
    EXPECT_FALSE(IS_MIN_LIGHT(-FLT_MAX));
    EXPECT_FALSE(IS_MIN_LIGHT(NAN));
    EXPECT_TRUE(IS_MAX_LIGHT(INFINITY));
    EXPECT_FALSE(IS_MAX_LIGHT(-INFINITY));
    EXPECT_FALSE(IS_MAX_LIGHT(FLT_MAX));
}

TEST(SetFloatToInt, StoresTheBitPatternUnchanged)
{
    float value = 0;
    EXPECT_EQ(SetFloatToInt(&value, 0x7f800000u), 0x7f800000u);
    EXPECT_TRUE(IS_MAX_LIGHT(value));
    EXPECT_EQ(SetFloatToInt(&value, 0x40490fdbu), 0x40490fdbu);
    EXPECT_FLOAT_EQ(value, 3.14159274f);
    EXPECT_EQ(SetFloatToInt(nullptr, 7u), 7u);
}

struct PowerRow
{
    float value;
    int decimals;
};

class PowerFloatRows : public testing::TestWithParam<PowerRow>
{
};

TEST_P(PowerFloatRows, AgreesWithSnprintf)
{
    char expected[80];
    snprintf(expected, sizeof expected, "%.*f", GetParam().decimals,
        static_cast<double>(GetParam().value));
    std::vector<char> dest(80);
    char* text =
        PowerFloatToStr(GetParam().value, static_cast<char>(GetParam().decimals), dest.data());
    EXPECT_STREQ(text, expected);
    EXPECT_STREQ(dest.data(), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, PowerFloatRows,
    testing::Values(PowerRow { -3.14159f, 2 }, PowerRow { 0.0f, 0 }, PowerRow { -0.5f, 0 },
        PowerRow { 12.5f, 3 }, PowerRow { NAN, 2 }, PowerRow { 1e-7f, 10 }),
    [](const testing::TestParamInfo<PowerRow>& info) {
        char text[64];
        snprintf(
            text, sizeof text, "%g_%d", static_cast<double>(info.param.value), info.param.decimals);
        return rowName(text);
    });

TEST(PowerFloatToStr, MarksGiveSignRows)
{
    EXPECT_STREQ(PowerFloatToStr(-INFINITY, 2, nullptr), "--------");
    EXPECT_STREQ(PowerFloatToStr(INFINITY, 2, nullptr), "++++++++");
}

TEST(PowerFloatToStr, TextsOf80CharactersOrMoreAreCut)
{
    std::vector<char> dest(80);
    // FLT_MAX has 39 integer digits; 60 decimals make a text of 100 characters.
    const char* text = PowerFloatToStr(FLT_MAX, 60, dest.data());
    EXPECT_EQ(strlen(text), 79u);
    EXPECT_STREQ(dest.data(), text);
    EXPECT_EQ(strlen(PowerFloatToStr(1.0f, static_cast<char>(255), nullptr)), 79u);
}

} // namespace
