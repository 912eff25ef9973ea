#include <ReportGenerator/Log.h>

#include "LogConfig.h"
#include "LogState.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/time.h>
#include <syslog.h>
#include <unistd.h>

LogState g_logState;

const char* const LogLevelNames[8] = { "EMERG", "ALERT", "CRIT", "ERROR", "WARNING", "NOTICE",
    "INFO", "DEBUG" };

namespace {

constexpr size_t LINE_SIZE = 1024;
// Room for the text of a line: the newline and the terminating zero must still fit.
constexpr size_t TEXT_LIMIT = LINE_SIZE - 1;

constexpr size_t TIME_TEXT_SIZE = 50;
char timeOfDayText[TIME_TEXT_SIZE];

// Appends to a line of length *used, never past TEXT_LIMIT - 1 characters.
void appendV(char* line, size_t* used, const char* format, va_list args)
{
    const size_t room = TEXT_LIMIT - *used;
    if (room <= 1)
        return;
    const int written = vsnprintf(line + *used, room, format, args);
    if (written > 0)
        *used += std::min(static_cast<size_t>(written), room - 1);
}

void append(char* line, size_t* used, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void append(char* line, size_t* used, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    appendV(line, used, format, args);
    va_end(args);
}

const char* levelName(int level)
{
    return level >= 0 && level <= 7 ? LogLevelNames[level] : "???";
}

const char* baseNameOf(const char* path)
{
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

} // namespace

void InitLog()
{
    LogState& state = g_logState;
    state.lineCounter = 1;
    if (state.programName[0] == '\0')
        GetProgramName(getpid());
    snprintf(state.syslogIdent, sizeof state.syslogIdent, "[%.*s]", LOG_NAME_SIZE - 1,
        state.programName);
    const int threshold = ReadLogConfig();
    if (threshold >= 0 && threshold <= 7)
        state.levelThreshold = threshold;
    openlog(state.syslogIdent, LOG_PID | LOG_PERROR, LOG_USER);
    fputs("\n\n", stderr);
}

// The system log keeps a pointer to the identity, which lives in this library: close the
// log when the library is unloaded, after the unload hook's last lines (destructors with
// lower priorities run later).
__attribute__((destructor(101))) static void closeSystemLog()
{
    if (g_logState.lineCounter > 0)
        closelog();
}

void ResetLogState()
{
    g_logState = LogState();
}

namespace {

struct LineRequest
{
    int level;
    bool withLevel;
    bool withTime;
    bool withCounter;
    const char* baseName;
    int line;
    int errorNumber;
};

// The pieces before the message, each only when its switch or value asks for it.
size_t appendPrefix(char* text, const LineRequest& request)
{
    size_t used = 0;
    if (request.withLevel)
        append(text, &used, "[%-7s] ", levelName(request.level));
    if (request.withTime)
        append(text, &used, "<%s>:", TimeOfDay2Str(nullptr));
    if (request.withCounter && g_logState.lineCounter > 0)
        append(text, &used, "%4d: ", g_logState.lineCounter);
    if (request.baseName)
        append(text, &used, "f=%s", request.baseName);
    if (request.line > 0)
        append(text, &used, " l=%d. ", request.line);
    if (request.errorNumber > 0)
        append(text, &used, " errno=%d. %s. ", request.errorNumber, strerror(request.errorNumber));
    return used;
}

void writeLine(const LineRequest& request, const char* format, va_list args)
{
    char* text = static_cast<char*>(calloc(LINE_SIZE, 1));
    if (!text)
        return;
    size_t used = appendPrefix(text, request);
    appendV(text, &used, format, args);
    text[used] = '\n';
    syslog(request.level, "%s", text);
    // Wraps like the 32-bit counter it is; the next line then re-initialises the log.
    g_logState.lineCounter = static_cast<int>(static_cast<unsigned>(g_logState.lineCounter) + 1u);
    free(text);
}

// Everything but the fast drop: set-up, refresh, threshold, exclusion, output.
__attribute__((noinline)) void logLine(
    LineRequest request, const char* sourceFile, const char* format, va_list args)
{
    LogState& state = g_logState;
    if (state.levelThreshold < 0)
        InitLog();
    if (state.readThisFileOnce == 0)
        RefreshLogConfig();
    // While the filter file is consulted on every call, no call may skip this path.
    state.dropAbove = state.readThisFileOnce == 0 ? INT_MAX : state.levelThreshold;
    if (request.level > state.levelThreshold)
        return;
    if (state.lineCounter <= 0)
        InitLog();
    request.baseName = sourceFile ? baseNameOf(sourceFile) : nullptr;
    if (request.baseName && IsLogExcluded(request.baseName, request.line, request.level))
        return;
    writeLine(request, format, args);
}

} // namespace

void LogMessage(int reserved, int level, bool withLevel, bool withTime, bool withCounter,
    const char* sourceFile, int line, int errorNumber, const char* format, ...)
{
    (void)reserved;
    // The whole cost of a dropped call: one comparison, before any other work.
    if (level > g_logState.dropAbove)
        return;
    va_list args;
    va_start(args, format);
    logLine({ level, withLevel, withTime, withCounter, nullptr, line, errorNumber }, sourceFile,
        format, args);
    va_end(args);
}

char* TimeOfDay2Str(char* dst)
{
    timeval now {};
    gettimeofday(&now, nullptr);
    const time_t seconds = now.tv_sec;
    tm local {};
    if (localtime_r(&seconds, &local))
        strftime(timeOfDayText, sizeof timeOfDayText, "%Y-%m-%d %H:%M:%S", &local);
    if (dst)
        strncpy(dst, timeOfDayText, TIME_TEXT_SIZE);
    return timeOfDayText;
}
