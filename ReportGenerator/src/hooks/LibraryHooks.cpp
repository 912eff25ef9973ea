// Load and unload hooks of the shared library (not part of the objects that tests link).
// Their priorities put the load hook before, and the unload hook after, the set-up and the
// release of the library-wide strings, which neither hook uses.
#include "LogTrace.h"
#include "localisation/Languages.h"
#include "report/LibraryStrings.h"
#include "report/StagingPage.h"

#include <ReportGenerator/reportgenerator_version.h>

namespace {

const char* const DLL_FINI = "dll_fini";

} // namespace

// The frame of the banner: 97 asterisks.
#define BANNER_ROW                                                                                 \
    "********************************************************************************************" \
    "*****"

extern "C" {

__attribute__((constructor(RG_PRIORITY_HOOKS_INIT))) void dll_init()
{
    RG_LOG(LOG_DEBUG, "DLL Constructed");
    RG_LOG(LOG_ALERT,
        "\n\n\t\t" BANNER_ROW
        "\n\t\t*****   Welcome to Orvane - REPORT GENERATOR version " REPORTGENERATOR_VERSION_STRING
        " built on %s at %s   *****\n\t\t" BANNER_ROW "\n\n",
        __DATE__, __TIME__);
}

__attribute__((destructor(RG_PRIORITY_HOOKS_FINI))) void dll_fini()
{
    RG_LOG(LOG_DEBUG, "%s::DLL Destructed.....", DLL_FINI);
    RG_LOG(LOG_DEBUG, "%s::Delete file \"%s\"", DLL_FINI, STAGING_PAGE_PATH);
    // Only this process's own page, and only when no other process is using the page.
    CStagingPage::RemoveOwnPageIfUnused();
    RG_LOG(LOG_DEBUG, "%s::GetCurrentSettingLanguage()=>\"%s\"", DLL_FINI,
        GetCurrentSettingLanguage());
}
}
