// Diagnostic log: syslog lines, copied to standard error, filtered per program.
#ifndef REPORTGENERATOR_LOG_H
#define REPORTGENERATOR_LOG_H

#include <ReportGenerator/reportgenerator_export.h>

// Writes one line "[LEVEL  ] <time>:   n: f=source l=line. message" to the system log
// and standard error when level passes the threshold of the program's filter file
// (levels 0 to 3 without one). sourceFile may be null; line and errorNumber are printed
// only when above 0. Lines are cut at 1022 characters.
REPORTGENERATOR_EXPORT void LogMessage(int reserved, int level, bool withLevel, bool withTime,
    bool withCounter, const char* sourceFile, int line, int errorNumber, const char* format, ...)
    __attribute__((format(printf, 9, 10)));

// Local time of day as "YYYY-MM-DD HH:MM:SS" in a process-wide buffer, which is
// returned; when dst is not null the text is also copied into it (dst holds 50 bytes).
REPORTGENERATOR_EXPORT char* TimeOfDay2Str(char* dst);

#endif
