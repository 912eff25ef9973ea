// Log calls of the library's own code: level, time and counter on, this file's source
// name and line, no error number.
#ifndef REPORTGENERATOR_LOGTRACE_H
#define REPORTGENERATOR_LOGTRACE_H

#include <ReportGenerator/Log.h>

#include <syslog.h>

#ifndef RG_LOG_SOURCE
#error "RG_LOG_SOURCE names the source file in log lines; the build sets it"
#endif

#define RG_LOG(level, ...)                                                                         \
    LogMessage(0, (level), true, true, true, RG_LOG_SOURCE, __LINE__, -1, __VA_ARGS__)

#endif
