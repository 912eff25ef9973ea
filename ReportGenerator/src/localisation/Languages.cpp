#include "localisation/Languages.h"

#include "LogTrace.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const GET_CURRENT_SETTING_LANGUAGE = "GetCurrentSettingLanguage";

struct Language
{
    const char* name;
    const char* localeCode;
};

constexpr Language LANGUAGES[] = {
    { "ENGLISH", "en_US" },
    { "FRENCH", "fr_FR" },
    { "GERMAN", "de_DE" },
    { "SPANISH", "es_ES" },
    { "ITALIAN", "it_IT" },
    { "PORTUGUESE", "pt_PT" },
    { "POLISH", "pl_PL" },
    { "RUSSIAN", "ru_RU" },
    { "TURKISH", "tr_TR" },
    { "CHINESE", "zh_CN" },
    { "TAIWANESE", "zh_TW" },
    { "KOREAN", "ko_KR" },
    { "JAPANESE", "ja_JP" },
    { "SWEDISH", "sv_SE" },
    { "NORWEGIAN", "nb_NO" },
    { "CZECH", "cs_CZ" },
    { "HUNGARIAN", "hu_HU" },
    { "FINNISH", "fi_FI" },
};
constexpr int LANGUAGE_COUNT = sizeof LANGUAGES / sizeof LANGUAGES[0];

char acCurrentSettingLanguage[32];

const char* languageOfLocaleCode(const char* code)
{
    for (const Language& language : LANGUAGES) {
        if (strcmp(language.localeCode, code) == 0)
            return language.name;
    }
    return LANGUAGES[0].name;
}

// The environment variables consulted when the system lacks the locale they name.
const char* localeFromEnvironment()
{
    for (const char* variable : { "LANGUAGE", "LANG", "LC_ALL" }) {
        if (const char* value = getenv(variable)) {
            RG_LOG(
                LOG_DEBUG, "%s::Current %s is %s", GET_CURRENT_SETTING_LANGUAGE, variable, value);
            return value;
        }
        RG_LOG(LOG_DEBUG, "%s::Current %s NOT FOUND, errno=%d", GET_CURRENT_SETTING_LANGUAGE,
            variable, errno);
    }
    return nullptr;
}

char* reportCurrentSettingLanguage()
{
    RG_LOG(LOG_DEBUG, "%s::Current Setting Language is \"%s\"", GET_CURRENT_SETTING_LANGUAGE,
        acCurrentSettingLanguage);
    return acCurrentSettingLanguage;
}

void setCurrentSettingLanguage(const char* name)
{
    snprintf(acCurrentSettingLanguage, sizeof acCurrentSettingLanguage, "%s", name);
}

} // namespace

const char* LocaleCodeOfLanguage(const char* name)
{
    for (const Language& language : LANGUAGES) {
        if (strcmp(language.name, name) == 0)
            return language.localeCode;
    }
    return LANGUAGES[0].localeCode;
}

char* GetCurrentSettingLanguage()
{
    const char* value = setlocale(LC_MESSAGES, "");
    if (!value)
        value = localeFromEnvironment();
    if (!value) {
        setCurrentSettingLanguage(LANGUAGES[0].name);
        return reportCurrentSettingLanguage();
    }
    if (!strchr(value, '_')) {
        setCurrentSettingLanguage(LANGUAGES[0].name);
        RG_LOG(LOG_DEBUG,
            "%s::Found Locale=\"%s\" => could NOT find the Current Setting Language => Set "
            "default to \"%s\"",
            GET_CURRENT_SETTING_LANGUAGE, value, acCurrentSettingLanguage);
        return reportCurrentSettingLanguage();
    }
    RG_LOG(LOG_DEBUG, "%s::Current Setting Locale is \"%s\"", GET_CURRENT_SETTING_LANGUAGE, value);
    const char* end = strchr(value, '.');
    if (!end)
        end = strchr(value, '@');
    const size_t length = end ? static_cast<size_t>(end - value) : strlen(value);
    // A value too long for the buffer is cut to fit; it cannot be a code of the table, so
    // the lookup below falls back to English all the same.
    const size_t kept = std::min(length, sizeof acCurrentSettingLanguage - 1);
    memcpy(acCurrentSettingLanguage, value, kept);
    acCurrentSettingLanguage[kept] = '\0';
    RG_LOG(LOG_DEBUG, "%s::Current Setting Locale is \"%s\"", GET_CURRENT_SETTING_LANGUAGE,
        acCurrentSettingLanguage);
    setCurrentSettingLanguage(languageOfLocaleCode(acCurrentSettingLanguage));
    return reportCurrentSettingLanguage();
}

extern "C" int GetNumLanguages(void)
{
    return LANGUAGE_COUNT;
}

extern "C" const char* GetLanguage(int iIndex)
{
    const bool inTable = iIndex >= 0 && iIndex < LANGUAGE_COUNT;
    g_sLanguage = LANGUAGES[inTable ? iIndex : 0].name;
    return g_sLanguage.c_str();
}
