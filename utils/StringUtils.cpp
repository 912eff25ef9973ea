#include <ReportGenerator/StringUtils.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char WHITESPACE[] = " \t\n\r";
const char COMMAND_SEPARATORS[] = ";\r\n";
const char DIGITS[] = "0123456789abcdefghijklmnopqrstuvwxyz";

constexpr size_t MAX_NUMBER_DIGITS = 11;
// A command and its CR LF fill the caller's 102-byte buffer; 99 characters at most.
constexpr size_t MAX_COMMAND_SIZE = 100;

constexpr uint32_t MIN_LIGHT_BITS = 0xff800000u;
constexpr uint32_t MAX_LIGHT_BITS = 0x7f800000u;

constexpr size_t POWER_TEXT_SIZE = 80;
char powerText[POWER_TEXT_SIZE];

int hexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

uint32_t floatBits(float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

bool IsInList(char c, char* list)
{
    return c != '\0' && list && strchr(list, c) != nullptr;
}

void TrimLeftInList(char* s, char* list)
{
    if (!s)
        return;
    const size_t length = strlen(s);
    size_t k = 0;
    while (k < length && IsInList(s[k], list))
        ++k;
    if (k == 0)
        return;
    memmove(s, s + k, length - k);
    memset(s + length - k, 0, k);
}

void TrimRightInList(char* s, char* list)
{
    if (!s)
        return;
    for (size_t i = strlen(s); i > 0 && IsInList(s[i - 1], list); --i)
        s[i - 1] = '\0';
}

void TrimInList(char* s, char* list)
{
    TrimLeftInList(s, list);
    TrimRightInList(s, list);
}

void TrimLeft(char* s)
{
    TrimLeftInList(s, const_cast<char*>(WHITESPACE));
}

void TrimRight(char* s)
{
    TrimRightInList(s, const_cast<char*>(WHITESPACE));
}

void Trim(char* s)
{
    TrimLeft(s);
    TrimRight(s);
}

namespace {

// Both digits of every byte value, so that a byte costs one table read.
struct HexPairs
{
    char pairs[256][2];
    constexpr HexPairs()
        : pairs()
    {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int byte = 0; byte < 256; ++byte) {
            pairs[byte][0] = digits[byte >> 4];
            pairs[byte][1] = digits[byte & 0x0F];
        }
    }
};
constexpr HexPairs HEX_PAIRS;

} // namespace

int ByteToHexStr(const char* bytes, int len, char* out)
{
    if (!bytes || !out || len < 1)
        return STRING_UTILS_ERROR;
    for (int i = 0; i < len; ++i)
        memcpy(out + 2 * i, HEX_PAIRS.pairs[static_cast<unsigned char>(bytes[i])], 2);
    out[2 * len] = '\0';
    return 0;
}

bool isNumber(char* s)
{
    if (!s)
        return false;
    const size_t length = strlen(s);
    if (length > MAX_NUMBER_DIGITS)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (!isdigit(static_cast<unsigned char>(s[i])))
            return false;
    }
    return true;
}

bool asciiToQuint8(const char* s, unsigned char* out)
{
    if (!s || !out || !isdigit(static_cast<unsigned char>(s[0])))
        return false;
    *out = static_cast<unsigned char>(strtol(s, nullptr, 10));
    return true;
}

bool asciiToQuint16(char* s, unsigned short* out)
{
    if (!out || !isNumber(s))
        return false;
    *out = static_cast<unsigned short>(strtol(s, nullptr, 10));
    return true;
}

bool asciiToQuint32(char* s, unsigned int* out)
{
    if (!out || !isNumber(s))
        return false;
    *out = static_cast<unsigned int>(strtol(s, nullptr, 10));
    return true;
}

int HexStrToInt(char digit, char position)
{
    const int value = hexDigitValue(digit);
    if (value < 0)
        return STRING_UTILS_ERROR;
    // Products past the int range saturate instead of wrapping into negative values.
    int64_t product = value;
    for (unsigned power = static_cast<unsigned char>(position); power > 0 && product > 0; --power) {
        product *= 16;
        if (product > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(product);
}

void itoa(int value, char* buf, int base)
{
    buf[0] = '\0';
    if (base < 2 || base > 35)
        return;
    // Unsigned magnitude: the most negative int has no positive int counterpart.
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char* end = buf;
    do {
        *end++ = DIGITS[magnitude % static_cast<unsigned>(base)];
        magnitude /= static_cast<unsigned>(base);
    } while (magnitude > 0);
    if (value < 0)
        *end++ = '-';
    *end = '\0';
    strreverse(buf, end - 1);
}

void strreverse(char* begin, char* end)
{
    if (!begin || !end)
        return;
    for (; begin < end; ++begin, --end)
        std::swap(*begin, *end);
}

unsigned long EndianConvertInt32(unsigned long value)
{
    return __builtin_bswap32(static_cast<uint32_t>(value));
}

unsigned short EndianConvertInt16(unsigned short value)
{
    return __builtin_bswap16(value);
}

int isMultiCmds(char* s)
{
    int count = 0;
    for (const char* c = s; c && *c; ++c)
        count += *c == ';';
    return count;
}

bool getMultiCmd(int index, char* out, char* cmds)
{
    if (!out || !cmds || cmds[0] == '\0')
        return false;
    size_t length = 0;
    out[0] = '\0';
    for (const char* c = cmds; *c; ++c) {
        if (!IsInList(*c, const_cast<char*>(COMMAND_SEPARATORS))) {
            if (length + 1 >= MAX_COMMAND_SIZE)
                return false;
            out[length++] = *c;
            out[length] = '\0';
        } else if (index == 0) {
            memcpy(out + length, "\r\n", 3);
            return true;
        } else {
            --index;
            memset(out, 0, MAX_COMMAND_SIZE);
            length = 0;
        }
    }
    return false;
}

bool IS_MIN_LIGHT(float value)
{
    return floatBits(value) == MIN_LIGHT_BITS;
}

bool IS_MAX_LIGHT(float value)
{
    return floatBits(value) == MAX_LIGHT_BITS;
}

char* PowerFloatToStr(float value, char decimals, char* dest)
{
    if (IS_MIN_LIGHT(value))
        snprintf(powerText, sizeof powerText, "%s", "--------");
    else if (IS_MAX_LIGHT(value))
        snprintf(powerText, sizeof powerText, "%s", "++++++++");
    else
        // Cut at the buffer's size: huge values or many decimals give long texts.
        snprintf(powerText, sizeof powerText, "%.*f", static_cast<unsigned char>(decimals),
            static_cast<double>(value));
    if (dest)
        strcpy(dest, powerText);
    return powerText;
}

unsigned int SetFloatToInt(float* target, unsigned int bits)
{
    if (target)
        memcpy(target, &bits, sizeof bits);
    return bits;
}
