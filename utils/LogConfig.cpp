#include "LogConfig.h"

#include "LogState.h"

#include <ReportGenerator/StringUtils.h>

#include <cstdio>
#include <cstring>

namespace {

char configDirectory[200] = "/quelnor/storage/brenmoor/";

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
    // TODO(utils): read the filter file.
    if (g_logState.configPath[0] == '\0')
        BuildLogConfigPath();
    return 3;
}

void RefreshLogConfig() { }

bool IsLogExcluded(const char*, int, int)
{
    return false;
}
