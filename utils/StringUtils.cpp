#include <ReportGenerator/StringUtils.h>

#include <cstdio>
#include <cstring>

namespace {

const char WHITESPACE[] = " \t\n\r";

} // namespace

bool IsInList(char c, char* list)
{
    return c != '\0' && list && strchr(list, c) != nullptr;
}

void TrimLeftInList(char* s, char* list)
{
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

int ByteToHexStr(const char* bytes, int len, char* out)
{
    if (!bytes || !out || len < 1)
        return STRING_UTILS_ERROR;
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < len; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        out[2 * i] = digits[byte >> 4];
        out[2 * i + 1] = digits[byte & 0x0F];
    }
    out[2 * len] = '\0';
    return 0;
}
