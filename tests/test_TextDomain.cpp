#include "localisation/TextDomain.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <gtest/gtest.h>

// The text domain as package|directory.
std::string domain()
{
    char package[64] = "unset", dir[64] = "unset";
    GetTextDomain(package, dir);
    return std::string(package) + "|" + dir;
}

// Each test leaves the language and the text domain at their load-time values.
TEST(TextDomain, SettingsKeptForNullArgumentsMakeTheCatalogPath)
{
    EXPECT_EQ(domain(), "DovaReport|/quelnor/release/ressources/locale") << "load-time values";
    EXPECT_EQ(CatalogPath("FRENCH"),
        "/quelnor/release/ressources/locale/fr_FR/LC_MESSAGES/DovaReport.mo");
    SetTextDomain(nullptr, "/opt/locale");
    SetTextDomain(nullptr, nullptr);
    EXPECT_EQ(domain(), "DovaReport|/opt/locale");
    SetTextDomain("Labels", nullptr);
    char package[16] = "unset";
    GetTextDomain(package, nullptr);
    EXPECT_STREQ(package, "Labels");
    GetTextDomain(nullptr, package);
    EXPECT_STREQ(package, "/opt/locale");
    SetTextDomain("", "");
    EXPECT_EQ(domain(), "|");
    EXPECT_EQ(CatalogPath("GERMAN"), "/de_DE/LC_MESSAGES/.mo");
    SetTextDomain("DovaReport", "/opt/");
    EXPECT_EQ(CatalogPath("french"), "/opt//en_US/LC_MESSAGES/DovaReport.mo");
    SetTextDomain("DovaReport", "/quelnor/release/ressources/locale");
}

TEST(TextDomain, TranslationReadsTheCatalogOfTheMomentAfreshOnEveryCall)
{
    // Catalogs for French, German and English (in capitals).
    SetTextDomain("Labels", RG_CATALOG_DIR);
    GetLanguage(1);
    // Read after its catalog is gone.
    EXPECT_STREQ(Get_Translation("Pass"), "Réussi");
    GetLanguage(2);
    EXPECT_STREQ(Get_Translation("Fail"), "Nicht bestanden");
    g_sLanguage = "french";
    EXPECT_STREQ(Get_Translation("Pass"), "PASS");
    const char* label = "Pass";
    GetLanguage(3);
    EXPECT_EQ(Get_Translation(label), label) << "no Spanish catalog";
    GetLanguage(1);
    for (const char* absent : { "pass", "Pass ", "Absent" })
        EXPECT_EQ(Get_Translation(absent), absent);
    SetTextDomain("Other", nullptr);
    EXPECT_EQ(Get_Translation(label), label) << "no catalog of that package";
    SetTextDomain("DovaReport", "/quelnor/release/ressources/locale");
    GetLanguage(0);
}
