// Library-wide strings: they hold their defaults from load to unload.
#ifndef REPORTGENERATOR_LIBRARYSTRINGS_H
#define REPORTGENERATOR_LIBRARYSTRINGS_H

#include <string>

// Report language name ("ENGLISH" at load).
extern std::string& g_sLanguage;
// Text domain: catalog package name and root directory.
extern std::string& g_sPackage;
extern std::string& g_sDir;
// Image paths of the last report (empty at load).
extern std::string& g_sImageLowMagPath;
extern std::string& g_sImageHighMagPath;

// Load-time priorities: the load hook runs before the strings are set up and the unload
// hook before they are released (destructor priorities run in reverse).
#define RG_PRIORITY_HOOKS_INIT 101
#define RG_PRIORITY_STRINGS_INIT 102
#define RG_PRIORITY_HOOKS_FINI 102
#define RG_PRIORITY_STRINGS_FINI 101

#endif
