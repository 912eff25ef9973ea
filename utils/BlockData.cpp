#include <ReportGenerator/BlockData.h>

#include <ReportGenerator/StringUtils.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// The definite header has one digit for the length of the byte count.
constexpr long MAX_DEFINITE_LENGTH = 999999999;
constexpr int MAX_HEADER_SIZE = 11;

bool isDigit(char c)
{
    return isdigit(static_cast<unsigned char>(c)) != 0;
}

// Byte count of a definite header: its digitCount characters only, never the data after them.
long definiteLength(const char* digits, int digitCount)
{
    char text[MAX_HEADER_SIZE] = {};
    for (int i = 0; i < digitCount && digits[i]; ++i)
        text[i] = digits[i];
    const long length = strtol(text, nullptr, 10);
    return length > 0 ? length : 0;
}

// A final line feed (LF, CR LF or LF LF) or two carriage returns end the data already.
bool endsWithLineEnd(const char* data, int len)
{
    if (len >= 1 && data[len - 1] == '\n')
        return true;
    return len >= 2 && data[len - 2] == '\r' && data[len - 1] == '\r';
}

int buildHeader(char* header, int len, bool indefinite)
{
    if (indefinite) {
        memcpy(header, "#0", 2);
        return 2;
    }
    char digits[MAX_HEADER_SIZE];
    itoa(len, digits, 10);
    const int digitCount = static_cast<int>(strlen(digits));
    header[0] = '#';
    header[1] = static_cast<char>('0' + digitCount);
    memcpy(header + 2, digits, static_cast<size_t>(digitCount));
    return digitCount + 2;
}

} // namespace

long IsABD(const char* s, int* headerLen)
{
    if (headerLen)
        *headerLen = 0;
    if (!s || s[0] != '#' || !isDigit(s[1]))
        return 0;
    const int digitCount = s[1] - '0';
    if (headerLen)
        *headerLen = digitCount + 2;
    if (digitCount == 0)
        return static_cast<long>(strlen(s + 2));
    return definiteLength(s + 2, digitCount);
}

long GetDataFromABD(char* s)
{
    int headerLength = 0;
    const long length = IsABD(s, &headerLength);
    if (length <= 0)
        return length;
    memmove(s, s + headerLength, static_cast<size_t>(length));
    memset(s + length, 0, static_cast<size_t>(headerLength));
    return length;
}

long GenerateABD(char* data, int len, bool indefinite)
{
    if (!data || len < 0 || len > MAX_DEFINITE_LENGTH)
        return 0;
    char header[MAX_HEADER_SIZE];
    const int headerLength = buildHeader(header, len, indefinite);
    const bool addLineEnd = indefinite && !endsWithLineEnd(data, len);
    memmove(data + headerLength, data, static_cast<size_t>(len));
    memcpy(data, header, static_cast<size_t>(headerLength));
    long blockLength = headerLength + len;
    if (addLineEnd) {
        memcpy(data + blockLength, "\r\n", 2);
        blockLength += 2;
    }
    return blockLength;
}
