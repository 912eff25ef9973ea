// Process-wide state of the logger and its filter file.
#ifndef REPORTGENERATOR_LOGSTATE_H
#define REPORTGENERATOR_LOGSTATE_H

#include <climits>

constexpr int LOG_EXCLUDE_SLOTS = 10;
constexpr int LOG_NAME_SIZE = 80;

struct LogState
{
    int readThisFileOnce = 1;
    int excludeLevel = 7;
    int levelThreshold = -1;
    int lastChangeOnTheFly = -1;
    char programName[LOG_NAME_SIZE] = {};
    char configPath[304] = {};
    char excludeFiles[LOG_EXCLUDE_SLOTS][LOG_NAME_SIZE] = {};
    int excludeLines[LOG_EXCLUDE_SLOTS][LOG_EXCLUDE_SLOTS] = {};
    bool hasExcludeFiles = false;
    int lineCounter = 0;
    // The system log keeps this pointer, so it lives as long as the process.
    char syslogIdent[120] = {};
    // Levels above it are dropped without further work: the threshold once the logger is
    // set up and reads its filter file once, else INT_MAX (every call takes the full path).
    int dropAbove = INT_MAX;
};

extern LogState g_logState;

// Names of the levels 0 to 7 as printed in the level tag.
extern const char* const LogLevelNames[8];

void InitLog();

// Puts the logger back to its load-time state; for tests, which run many loggers in one
// process.
void ResetLogState();

#endif
