// Load and unload hooks of the shared library (not part of the objects that tests link).
#include "Languages.h"
#include "LibraryStrings.h"
#include "LogTrace.h"
#include "StagingPage.h"

#include <cstdio>

extern "C" {

__attribute__((constructor(RG_PRIORITY_HOOKS_INIT))) void dll_init()
{
    RG_LOG(LOG_DEBUG, "DLL Constructed");
    RG_LOG(LOG_ALERT,
        "\n\n\t\t**************************************************************************"
        "***********************\n\t\t*****   Welcome to Orvane - REPORT GENERATOR version "
        "1.0.1 built on %s at %s   *****\n\t\t*********************************************"
        "****************************************************\n\n",
        __DATE__, __TIME__);
}

__attribute__((destructor(RG_PRIORITY_HOOKS_FINI))) void dll_fini()
{
    RG_LOG(LOG_DEBUG, "%s::DLL Destructed.....", "dll_fini");
    RG_LOG(LOG_DEBUG, "%s::Delete file \"%s\"", "dll_fini", STAGING_PAGE_PATH);
    remove(STAGING_PAGE_PATH);
    RG_LOG(LOG_DEBUG, "%s::GetCurrentSettingLanguage()=>\"%s\"", "dll_fini",
        GetCurrentSettingLanguage());
}
}
