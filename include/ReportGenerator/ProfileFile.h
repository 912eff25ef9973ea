// Key=value profile files.
#ifndef REPORTGENERATOR_PROFILEFILE_H
#define REPORTGENERATOR_PROFILEFILE_H

#include <ReportGenerator/reportgenerator_export.h>

// Value of key in fileName, else defaultValue, in a process-wide buffer that the next
// call overwrites; also copied into dest when not null.
REPORTGENERATOR_EXPORT char* GetPrivateProfileStr(
    char* key, char* defaultValue, char* dest, char* fileName);
// Value of key read as a decimal number, else defaultValue.
REPORTGENERATOR_EXPORT int GetPrivateProfileInt(char* key, int defaultValue, char* fileName);
// Replaces the first entry of key (or creates a missing file with it). Returns 1 when the
// entry was written, 0 otherwise; the file is never left half written.
REPORTGENERATOR_EXPORT int SetPrivateProfileStr(char* key, char* value, char* fileName);

#endif
