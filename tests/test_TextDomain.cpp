#include "TempDir.h"
#include "localisation/TextDomain.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

const char* const DEFAULT_PACKAGE = "DovaReport";
const char* const DEFAULT_DIR = "/quelnor/release/ressources/locale";

// Every test leaves the language and the text domain as it found them.
class TextDomain : public testing::Test
{
protected:
    void TearDown() override
    {
        g_sLanguage = savedLanguage;
        SetTextDomain(savedPackage.c_str(), savedDir.c_str());
    }

    std::string domain() const
    {
        char package[256];
        char dir[256];
        GetTextDomain(package, dir);
        return std::string(package) + "|" + dir;
    }

    const std::string savedLanguage = g_sLanguage;
    const std::string savedPackage = g_sPackage;
    const std::string savedDir = g_sDir;
};

// Settings

TEST_F(TextDomain, HoldsItsDefaultsFromLoadTime)
{
    EXPECT_EQ(savedPackage, DEFAULT_PACKAGE);
    EXPECT_EQ(savedDir, DEFAULT_DIR);
    EXPECT_EQ(savedLanguage, "ENGLISH");
    EXPECT_EQ(domain(), std::string(DEFAULT_PACKAGE) + "|" + DEFAULT_DIR);
}

TEST_F(TextDomain, NullArgumentsKeepTheirSetting)
{
    SetTextDomain(nullptr, "/opt/locale");
    EXPECT_EQ(domain(), std::string(DEFAULT_PACKAGE) + "|/opt/locale");
    SetTextDomain(nullptr, nullptr);
    EXPECT_EQ(domain(), std::string(DEFAULT_PACKAGE) + "|/opt/locale");
    SetTextDomain("Labels", nullptr);
    EXPECT_EQ(domain(), "Labels|/opt/locale");
    SetTextDomain("", "");
    EXPECT_EQ(domain(), "|");
}

TEST_F(TextDomain, NullBuffersAreSkipped)
{
    SetTextDomain("Labels", "/opt/locale");
    char package[16];
    memset(package, 'x', sizeof package);
    GetTextDomain(package, nullptr);
    EXPECT_STREQ(package, "Labels");
    char dir[16];
    GetTextDomain(nullptr, dir);
    EXPECT_STREQ(dir, "/opt/locale");
}

// Catalog paths

struct PathCase
{
    const char* name;
    const char* dir;
    const char* language;
    const char* path;
};

class CatalogPathOf : public TextDomain, public testing::WithParamInterface<PathCase>
{
};

TEST_P(CatalogPathOf, Language)
{
    SetTextDomain(nullptr, GetParam().dir);
    EXPECT_EQ(CatalogPath(GetParam().language), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(TextDomain, CatalogPathOf,
    testing::Values(PathCase { "French", DEFAULT_DIR, "FRENCH",
                        "/quelnor/release/ressources/locale/fr_FR/LC_MESSAGES/DovaReport.mo" },
        PathCase { "Norwegian", DEFAULT_DIR, "NORWEGIAN",
            "/quelnor/release/ressources/locale/nb_NO/LC_MESSAGES/DovaReport.mo" },
        PathCase { "LowerCaseName", DEFAULT_DIR, "french",
            "/quelnor/release/ressources/locale/en_US/LC_MESSAGES/DovaReport.mo" },
        PathCase { "DirEndingInSlash", "/opt/locale/", "GERMAN",
            "/opt/locale//de_DE/LC_MESSAGES/DovaReport.mo" },
        PathCase { "EmptyDir", "", "GERMAN", "/de_DE/LC_MESSAGES/DovaReport.mo" }),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

// Translation through the current language's catalog

class Translation : public TextDomain
{
protected:
    void SetUp() override
    {
        for (const auto& [code, source] : { std::pair { "fr_FR", "report-fr" },
                 std::pair { "de_DE", "report-de" }, std::pair { "en_US", "report-en" } }) {
            std::filesystem::copy_file(std::string(RG_CATALOG_DIR) + "/" + source + ".mo",
                locale.file(std::string(code) + "/LC_MESSAGES/Labels.mo"));
        }
        SetTextDomain("Labels", locale.path().c_str());
    }

    TempDir locale;
};

TEST_F(Translation, FollowsTheLanguageThatGetLanguageSelects)
{
    GetLanguage(1);
    EXPECT_STREQ(Get_Translation("Pass"), "Réussi");
    GetLanguage(2);
    EXPECT_STREQ(Get_Translation("Pass"), "Bestanden");
    GetLanguage(0);
    EXPECT_STREQ(Get_Translation("Pass"), "PASS");
}

TEST_F(Translation, NameOutsideTheTableReadsTheEnglishCatalog)
{
    g_sLanguage = "french";
    EXPECT_STREQ(Get_Translation("Fail"), "FAIL");
}

TEST_F(Translation, ChangedTextDomainTakesEffectAtTheNextCall)
{
    GetLanguage(1);
    EXPECT_STREQ(Get_Translation("Fail"), "Échec");
    SetTextDomain("Other", nullptr);
    const char* label = "Fail";
    EXPECT_EQ(Get_Translation(label), label);
}

TEST_F(Translation, TextWithoutEntryComesBackAsTheSamePointer)
{
    GetLanguage(1);
    for (const char* label : { "Absent label", "pass", "Pass " })
        EXPECT_EQ(Get_Translation(label), label) << label;
}

TEST_F(Translation, MissingCatalogGivesEveryTextBack)
{
    GetLanguage(3);
    for (const char* label : { "Pass", "Zone", "" })
        EXPECT_EQ(Get_Translation(label), label) << label;
    SetTextDomain(nullptr, (locale.path() + "/missing").c_str());
    GetLanguage(1);
    const char* label = "Pass";
    EXPECT_EQ(Get_Translation(label), label);
}

TEST_F(Translation, DefaultDomainWithoutCatalogsGivesTextsBack)
{
    SetTextDomain(DEFAULT_PACKAGE, DEFAULT_DIR);
    ASSERT_FALSE(std::filesystem::exists(DEFAULT_DIR));
    const char* label = "Pass";
    EXPECT_EQ(Get_Translation(label), label);
}

// The catalog is gone by the time the caller reads the translation.
TEST_F(Translation, TranslationOutlivesTheCatalogUntilTheNextCall)
{
    GetLanguage(1);
    EXPECT_GT(strlen(Get_Translation("Disclaimer")), 512u);
    const char* pass = Get_Translation("Pass");
    EXPECT_STREQ(pass, "Réussi");
    // Its own result, which no catalog holds as a label, comes back as it is.
    EXPECT_EQ(Get_Translation(pass), pass);
    EXPECT_STREQ(pass, "Réussi");
}

} // namespace
