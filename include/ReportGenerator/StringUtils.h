// String and number helpers. They work in place on zero-terminated texts in the caller's
// buffers, allocate nothing and report bad arguments by their results. All are re-entrant
// except PowerFloatToStr, whose buffer is process-wide.
#ifndef REPORTGENERATOR_STRINGUTILS_H
#define REPORTGENERATOR_STRINGUTILS_H

#include <ReportGenerator/reportgenerator_export.h>

// Error code of HexStrToInt and ByteToHexStr.
constexpr int STRING_UTILS_ERROR = -160;

// Trimming. Whitespace is blank, tab, line feed and carriage return (not vertical tab or
// form feed). TrimLeft moves the rest of the text to the start and zero-fills the freed
// tail; TrimRight replaces trailing whitespace by zero bytes; Trim does both. The InList
// variants remove the characters of list instead. A null s is left alone.
REPORTGENERATOR_EXPORT void TrimLeft(char* s);
REPORTGENERATOR_EXPORT void TrimRight(char* s);
REPORTGENERATOR_EXPORT void Trim(char* s);
// True when c is one of the characters of list (never for c = 0 or a null list).
REPORTGENERATOR_EXPORT bool IsInList(char c, char* list);
REPORTGENERATOR_EXPORT void TrimLeftInList(char* s, char* list);
REPORTGENERATOR_EXPORT void TrimRightInList(char* s, char* list);
REPORTGENERATOR_EXPORT void TrimInList(char* s, char* list);

// True for the empty string and for 1 to 11 decimal digits and nothing else.
REPORTGENERATOR_EXPORT bool isNumber(char* s);
// When s begins with a digit: *out = strtol(s) cut to 8 bits (300 gives 44), true.
// Characters after the digits are ignored. False for null arguments or no leading digit.
REPORTGENERATOR_EXPORT bool asciiToQuint8(const char* s, unsigned char* out);
// When isNumber(s): *out = strtol(s) cut to 16 (32) bits, true; the empty string gives 0.
// False, out untouched, otherwise.
REPORTGENERATOR_EXPORT bool asciiToQuint16(char* s, unsigned short* out);
REPORTGENERATOR_EXPORT bool asciiToQuint32(char* s, unsigned int* out);
// Value of one hexadecimal digit (0-9, A-F, a-f) times 16 to the power position (taken as
// 0 to 255); products beyond the int range give INT_MAX. -160 for any other character.
REPORTGENERATOR_EXPORT int HexStrToInt(char digit, char position);
// Writes the len bytes as upper-case hex digit pairs and a zero into out (2 * len + 1
// bytes); returns 0, or -160 (out untouched) when len is below 1 or a pointer is null.
REPORTGENERATOR_EXPORT int ByteToHexStr(const char* bytes, int len, char* out);
// Writes value in base 2 to 35 (digits 0-9 then a-y, '-' before a negative value) and a
// zero into buf (34 bytes hold every value); any other base writes the empty string.
REPORTGENERATOR_EXPORT void itoa(int value, char* buf, int base);
// Reverses the characters from begin to end, both included; nothing unless begin < end.
REPORTGENERATOR_EXPORT void strreverse(char* begin, char* end);
// The low 32 bits of value with their bytes reversed; the two bytes of value swapped.
REPORTGENERATOR_EXPORT unsigned long EndianConvertInt32(unsigned long value);
REPORTGENERATOR_EXPORT unsigned short EndianConvertInt16(unsigned short value);

// Command strings: commands separated by ';', carriage return or line feed.
// Number of ';' in s (0 for a null s).
REPORTGENERATOR_EXPORT int isMultiCmds(char* s);
// Copies command number index (from 0), followed by CR LF and a zero, into out (102
// bytes) and returns true. Each separator ends a command, also an empty one, so the last
// command counts only when a separator follows it. False when out or cmds is null, cmds is
// empty, no separator ends command index, or a command reaches 100 characters; out then
// holds what was copied of the current command.
REPORTGENERATOR_EXPORT bool getMultiCmd(int index, char* out, char* cmds);

// Power values: negative infinity (bits 0xff800000) marks minimum light, positive infinity
// (0x7f800000) maximum light; both are recognised by bit pattern.
REPORTGENERATOR_EXPORT bool IS_MIN_LIGHT(float value);
REPORTGENERATOR_EXPORT bool IS_MAX_LIGHT(float value);
// "--------" for minimum light, "++++++++" for maximum light, else "%.*f" with decimals
// (0 to 255) as precision, cut to 79 characters. Returns a process-wide buffer of 80 bytes
// that the next call overwrites; also copied into dest (80 bytes) when dest is not null.
REPORTGENERATOR_EXPORT char* PowerFloatToStr(float value, char decimals, char* dest);
// Stores the bit pattern bits unchanged into *target (when not null) and returns bits.
REPORTGENERATOR_EXPORT unsigned int SetFloatToInt(float* target, unsigned int bits);

#endif
