// Diagnostic log: lines on the system log, copied to standard error, filtered per program
// by the optional file "/quelnor/storage/brenmoor/<program>.conf".
#ifndef REPORTGENERATOR_LOG_H
#define REPORTGENERATOR_LOG_H

#include <ReportGenerator/reportgenerator_export.h>

// Writes one line "[LEVEL  ] <time>:   n: f=source l=line.  errno=e. text. message" to the
// system log (and so to standard error) when level passes the threshold of the program's
// filter file (levels 0 to 3 without one) and the filter does not exclude the source.
// reserved has no effect. withLevel, withTime and withCounter switch the level tag, the
// time stamp and the line number on or off. Only the part of sourceFile after its last '/'
// is printed; sourceFile may be null (no "f=" piece). line and errorNumber are printed
// only when above 0. format and its arguments are printf-style; the result is data to the
// system log, so '%' in it is printed as is. A line holds at most 1022 characters before
// its newline: longer ones are cut. The first call opens the log and writes two newlines
// to standard error. No result; nothing is kept of the caller's texts.
REPORTGENERATOR_EXPORT void LogMessage(int reserved, int level, bool withLevel, bool withTime,
    bool withCounter, const char* sourceFile, int line, int errorNumber, const char* format, ...)
    __attribute__((format(printf, 9, 10)));

// Local time of day as "YYYY-MM-DD HH:MM:SS" in a process-wide buffer, which is returned
// and overwritten by the next call. When dst is not null exactly 50 bytes are copied into
// it: the text, then zero bytes.
REPORTGENERATOR_EXPORT char* TimeOfDay2Str(char* dst);

#endif
