#include "LogConfig.h"

#include "LogState.h"

#include <ReportGenerator/ProfileFile.h>
#include <ReportGenerator/StringUtils.h>

#include <cstdio>
#include <cstring>

namespace {

char configDirectory[200] = "/quelnor/storage/brenmoor/";

constexpr int DEFAULT_THRESHOLD = 3;
// The level line is read in pieces of 499 characters.
constexpr int LEVEL_LINE_SIZE = 500;
constexpr char FREE_SLOT = '!';

// Reads the next line without its line feed; at the end of the file the line is empty.
bool readLine(FILE* file, char* line, int size)
{
    if (!fgets(line, size, file)) {
        line[0] = '\0';
        return false;
    }
    const size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n')
        line[length - 1] = '\0';
    return true;
}

// The first line not beginning with '#' names the threshold; a file with none (empty, or
// comments only) gives an empty level line, which names level 0. -1 without a file.
int readThreshold(const char* path)
{
    FILE* file = fopen(path, "r");
    if (!file)
        return -1;
    char line[LEVEL_LINE_SIZE];
    while (readLine(file, line, sizeof line) && line[0] == '#') { }
    fclose(file);
    const int level = GetLevelFromName(line);
    return level >= 0 ? level : DEFAULT_THRESHOLD;
}

void readExclusions(int file, char* path)
{
    LogState& state = g_logState;
    char key[32];
    char* name = state.excludeFiles[file];
    snprintf(key, sizeof key, "ExcludeFile%d", file + 1);
    // Values are cut to the size of a name slot.
    memset(name, 0, LOG_NAME_SIZE);
    GetPrivateProfileStr(key, const_cast<char*>("!"), name, path);
    if (name[0] != FREE_SLOT)
        state.hasExcludeFiles = true;
    for (int slot = 0; slot < LOG_EXCLUDE_SLOTS; ++slot) {
        snprintf(key, sizeof key, "ExcludeLine%d_%d", file + 1, slot + 1);
        state.excludeLines[file][slot] = GetPrivateProfileInt(key, 0, path);
    }
}

int excludedFileSlot(const char* baseName)
{
    for (int file = 0; file < LOG_EXCLUDE_SLOTS; ++file) {
        const char* name = g_logState.excludeFiles[file];
        if (name[0] != FREE_SLOT && strcmp(name, baseName) == 0)
            return file;
    }
    return -1;
}

} // namespace

void SetLogConfigDirectory(const char* directory)
{
    snprintf(configDirectory, sizeof configDirectory, "%s", directory);
}

char* GetProgramName(int pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/cmdline", pid);
    FILE* file = fopen(path, "r");
    if (!file)
        return nullptr;
    char text[580] = {};
    if (!fgets(text, sizeof text, file))
        text[0] = '\0';
    fclose(file);
    char* name = text;
    if (char* slash = strrchr(text, '/')) {
        name = slash + 1;
        Trim(name);
    } else if (text[0] == '\0') {
        return nullptr;
    }
    snprintf(g_logState.programName, sizeof g_logState.programName, "%s", name);
    return g_logState.programName;
}

void BuildLogConfigPath()
{
    snprintf(g_logState.configPath, sizeof g_logState.configPath, "%s%s.conf", configDirectory,
        g_logState.programName);
}

int GetLevelFromName(const char* text)
{
    const size_t textLength = strlen(text);
    for (int level = 0; level < 8; ++level) {
        const size_t nameLength = strlen(LogLevelNames[level]);
        if (strncmp(text, LogLevelNames[level], textLength < nameLength ? textLength : nameLength)
            == 0)
            return level;
    }
    return -1;
}

int ReadLogConfig()
{
    LogState& state = g_logState;
    if (state.configPath[0] == '\0')
        BuildLogConfigPath();
    char* path = state.configPath;
    state.readThisFileOnce = GetPrivateProfileInt(const_cast<char*>("ReadThisFileOnce"), 1, path);
    const int threshold = readThreshold(path);
    if (threshold < 0)
        return DEFAULT_THRESHOLD;
    state.excludeLevel = GetLevelFromName(GetPrivateProfileStr(
        const_cast<char*>("ExcludeLevel"), const_cast<char*>("DEBUG"), nullptr, path));
    for (int file = 0; file < LOG_EXCLUDE_SLOTS; ++file)
        readExclusions(file, path);
    return threshold;
}

void RefreshLogConfig()
{
    LogState& state = g_logState;
    const int changeOnTheFly =
        GetPrivateProfileInt(const_cast<char*>("ChangeOnTheFly"), 0, state.configPath);
    if (changeOnTheFly == state.lastChangeOnTheFly && changeOnTheFly == 0)
        return;
    state.lastChangeOnTheFly = changeOnTheFly;
    const int threshold = ReadLogConfig();
    if (threshold >= 0 && threshold <= 7)
        state.levelThreshold = threshold;
}

bool IsLogExcluded(const char* baseName, int line, int level)
{
    const LogState& state = g_logState;
    if (!state.hasExcludeFiles)
        return false;
    const int file = excludedFileSlot(baseName);
    if (file < 0)
        return false;
    bool listsLines = false;
    for (const int excludedLine : state.excludeLines[file]) {
        if (excludedLine <= 0)
            continue;
        if (excludedLine == line)
            return level >= state.excludeLevel;
        listsLines = true;
    }
    // A file without listed lines is excluded whole.
    return !listsLines && level >= state.excludeLevel;
}
