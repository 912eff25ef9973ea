#include "ChildProcess.h"
#include "TableTest.h"
#include "localisation/Languages.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>

#include <cstring>
#include <vector>

// GetCurrentSettingLanguage in a child, which alone sees the variables and the locale they
// set; "stale" when a second call does not read them anew into the same buffer or when it
// changes the current language.
std::string languageOf(const std::vector<std::string>& variables)
{
    const ChildOutcome child = RunInChild([&] {
        for (const char* name : { "LANGUAGE", "LANG", "LC_ALL", "LC_MESSAGES" })
            unsetenv(name);
        const std::string current = g_sLanguage;
        const char* first = GetCurrentSettingLanguage();
        for (const std::string& variable : variables)
            putenv(strdup(variable.c_str()));
        const char* language = GetCurrentSettingLanguage();
        fputs(first == language && g_sLanguage == current ? language : "stale", stdout);
        return 0;
    });
    return child.output.trimmed().toStdString();
}

// name, index, locale code
const std::tuple<const char*, int, const char*> LANGUAGES[] = { { "ENGLISH", 0, "en_US" },
    { "FRENCH", 1, "fr_FR" }, { "GERMAN", 2, "de_DE" }, { "SPANISH", 3, "es_ES" },
    { "ITALIAN", 4, "it_IT" }, { "PORTUGUESE", 5, "pt_PT" }, { "POLISH", 6, "pl_PL" },
    { "RUSSIAN", 7, "ru_RU" }, { "TURKISH", 8, "tr_TR" }, { "CHINESE", 9, "zh_CN" },
    { "TAIWANESE", 10, "zh_TW" }, { "KOREAN", 11, "ko_KR" }, { "JAPANESE", 12, "ja_JP" },
    { "SWEDISH", 13, "sv_SE" }, { "NORWEGIAN", 14, "nb_NO" }, { "CZECH", 15, "cs_CZ" },
    { "HUNGARIAN", 16, "hu_HU" }, { "FINNISH", 17, "fi_FI" } };
TABLE_TEST(Table, Language, ReadsAlikeInEveryDirectionAndBecomesCurrent, LANGUAGES)
{
    const auto& [name, index, code] = GetParam();
    EXPECT_EQ(GetLanguage(index), g_sLanguage.c_str());
    EXPECT_EQ(g_sLanguage, name);
    EXPECT_STREQ(LocaleCodeOfLanguage(name), code);
    EXPECT_EQ(languageOf({ std::string("LANG=") + code }), name);
    EXPECT_EQ(GetNumLanguages(), 18);
    EXPECT_STREQ(GetLanguage(-1 - index), "ENGLISH") << "outside the table: row 0";
    EXPECT_STREQ(GetLanguage(18 + index), "ENGLISH");
}

// The variables set: the language. setlocale chooses the installed locales
// (scripts/setup-debian.sh makes them); for the others (nb_NO, fr_fr, pl_PL@x) it fails and
// the variables are read. A cut value too long for the 32-byte buffer holds no code.
const std::tuple<std::vector<std::string>, const char*> ENVIRONMENTS[] = { { { "LANG=fr_FR.UTF-8" },
                                                                               "FRENCH" },
    { { "LANG=de_DE@euro" }, "GERMAN" }, { { "LC_ALL=fr_FR.UTF-8", "LANG=de_DE.UTF-8" }, "FRENCH" },
    { { "LANG=fr_FR.UTF-8", "LANGUAGE=de_DE" }, "FRENCH" }, { { "LANG=POSIX" }, "ENGLISH" },
    { { "LANG=fr_fr" }, "ENGLISH" }, { { "LANG=nb_NO", "LANGUAGE=de_DE" }, "GERMAN" },
    { { "LANG=nb_NO", "LANGUAGE=fr_FR:en_US" }, "ENGLISH" },
    { { "LANG=nb_NO", "LANGUAGE=" }, "ENGLISH" }, { { "LANG=pl_PL@x", "LC_ALL=nb_NO" }, "POLISH" },
    { { "LC_ALL=nb_NO" }, "NORWEGIAN" }, { { "LANG=nb_NO" + std::string(27, 'O') }, "ENGLISH" } };
TABLE_TEST(Table, Environment, ChoosesTheCurrentSettingLanguage, ENVIRONMENTS)
{
    EXPECT_EQ(languageOf(std::get<0>(GetParam())), std::get<1>(GetParam()));
}
