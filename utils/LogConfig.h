// The logger's filter file "<directory><program>.conf".
#ifndef REPORTGENERATOR_LOGCONFIG_H
#define REPORTGENERATOR_LOGCONFIG_H

char* GetProgramName(int pid);
void BuildLogConfigPath();
int ReadLogConfig();
int GetLevelFromName(const char* text);
void RefreshLogConfig();
bool IsLogExcluded(const char* baseName, int line, int level);

// Directory of the filter files, "/quelnor/storage/brenmoor/" unless a test moved it.
// Internal: host programs cannot reach it.
void SetLogConfigDirectory(const char* directory);

#endif
