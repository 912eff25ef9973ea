// TODO(localisation): catalog lookups; for now every text is its own translation.
#include "LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <cstring>

extern "C" void SetTextDomain(const char* pcPackage, const char* pcDir)
{
    if (pcPackage)
        g_sPackage = pcPackage;
    if (pcDir)
        g_sDir = pcDir;
}

extern "C" void GetTextDomain(char* pcPackage, char* pcDir)
{
    if (pcPackage)
        strcpy(pcPackage, g_sPackage.c_str());
    if (pcDir)
        strcpy(pcDir, g_sDir.c_str());
}

const char* Get_Translation(const char* text)
{
    return text;
}
