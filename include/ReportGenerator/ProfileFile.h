// Key=value profile files: plain-text lines "key=value", no sections, no comments; keys
// are case-sensitive and the first entry of a key wins. Every call opens and scans the
// file; errors of SetPrivateProfileStr are printed on standard error.
#ifndef REPORTGENERATOR_PROFILEFILE_H
#define REPORTGENERATOR_PROFILEFILE_H

#include <ReportGenerator/reportgenerator_export.h>

// Value of key in fileName (whitespace around it removed), else defaultValue. Returns a
// process-wide buffer of 80 bytes that the next call of this function or of
// GetPrivateProfileInt overwrites; values and defaults of 80 characters or more are cut to
// 79. When dest is not null the result is also copied into it (dest holds 80 bytes). A
// missing file or key is no error. Lines are read in pieces of 299 characters.
REPORTGENERATOR_EXPORT char* GetPrivateProfileStr(
    char* key, char* defaultValue, char* dest, char* fileName);

// Value of key read as a decimal number (strtol: text without digits gives 0), else
// defaultValue. Values outside the int range give INT_MIN or INT_MAX.
REPORTGENERATOR_EXPORT int GetPrivateProfileInt(char* key, int defaultValue, char* fileName);

// Replaces the first entry of key with "key=value\r\n", copying the file through
// "<fileName>~" that then replaces it; lines before the entry lose their leading
// whitespace. A missing file is created holding the one entry. Either way the file's
// permissions become 0666. Returns 1 when the entry was written; 0 when the key was not
// found (the file is still rewritten), when the file or its copy cannot be opened or
// written (the file then stays exactly as it was), and when key holds '=' or a line end or
// has 100 characters or more, or value holds a line end or has 80 characters or more
// (such entries would not read back as written; nothing is changed).
REPORTGENERATOR_EXPORT int SetPrivateProfileStr(char* key, char* value, char* fileName);

#endif
