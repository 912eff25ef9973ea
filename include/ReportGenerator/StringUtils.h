// String and number helpers working in place on the caller's buffers.
#ifndef REPORTGENERATOR_STRINGUTILS_H
#define REPORTGENERATOR_STRINGUTILS_H

#include <ReportGenerator/reportgenerator_export.h>

// Error code of HexStrToInt and ByteToHexStr.
constexpr int STRING_UTILS_ERROR = -160;

// Whitespace is blank, tab, line feed and carriage return.
REPORTGENERATOR_EXPORT void TrimLeft(char* s);
REPORTGENERATOR_EXPORT void TrimRight(char* s);
REPORTGENERATOR_EXPORT void Trim(char* s);
REPORTGENERATOR_EXPORT bool IsInList(char c, char* list);
REPORTGENERATOR_EXPORT void TrimLeftInList(char* s, char* list);
REPORTGENERATOR_EXPORT void TrimRightInList(char* s, char* list);
REPORTGENERATOR_EXPORT void TrimInList(char* s, char* list);

// True for the empty string and for 1 to 11 decimal digits.
REPORTGENERATOR_EXPORT bool isNumber(char* s);
REPORTGENERATOR_EXPORT bool asciiToQuint8(const char* s, unsigned char* out);
REPORTGENERATOR_EXPORT bool asciiToQuint16(char* s, unsigned short* out);
REPORTGENERATOR_EXPORT bool asciiToQuint32(char* s, unsigned int* out);
// Value of one hexadecimal digit times 16 to the power position, or -160.
REPORTGENERATOR_EXPORT int HexStrToInt(char digit, char position);
// Writes len bytes as upper-case hex digits plus a zero into out (2 * len + 1 bytes).
REPORTGENERATOR_EXPORT int ByteToHexStr(const char* bytes, int len, char* out);
// Writes value in base 2 to 35 into buf; any other base writes the empty string.
REPORTGENERATOR_EXPORT void itoa(int value, char* buf, int base);
REPORTGENERATOR_EXPORT void strreverse(char* begin, char* end);
REPORTGENERATOR_EXPORT unsigned long EndianConvertInt32(unsigned long value);
REPORTGENERATOR_EXPORT unsigned short EndianConvertInt16(unsigned short value);

// Commands are separated by ';', carriage return or line feed.
REPORTGENERATOR_EXPORT int isMultiCmds(char* s);
// Copies command number index, followed by CR LF, into out (102 bytes).
REPORTGENERATOR_EXPORT bool getMultiCmd(int index, char* out, char* cmds);

// Power values: negative infinity marks minimum light, positive infinity maximum light.
REPORTGENERATOR_EXPORT bool IS_MIN_LIGHT(float value);
REPORTGENERATOR_EXPORT bool IS_MAX_LIGHT(float value);
// Text of a power value in a process-wide buffer (copied into dest when not null).
REPORTGENERATOR_EXPORT char* PowerFloatToStr(float value, char decimals, char* dest);
REPORTGENERATOR_EXPORT unsigned int SetFloatToInt(float* target, unsigned int bits);

#endif
