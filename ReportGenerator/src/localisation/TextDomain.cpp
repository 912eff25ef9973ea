#include "localisation/TextDomain.h"

#include "localisation/Languages.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <cstring>

std::string CatalogPath(const std::string& language)
{
    return g_sDir + "/" + LocaleCodeOfLanguage(language.c_str()) + "/LC_MESSAGES/" + g_sPackage
        + ".mo";
}

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
    // Outlives the catalog, which is read afresh on every call so that a change of the
    // language or the text domain takes effect at once.
    static std::string lastTranslation;
    CReadMoFile catalog(CatalogPath(g_sLanguage).c_str());
    const char* translation = catalog.text_lookup(text);
    if (translation == text)
        return text;
    lastTranslation = translation;
    return lastTranslation.c_str();
}
