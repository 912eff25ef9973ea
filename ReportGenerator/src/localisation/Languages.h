// The report languages: names, locale codes and the environment's default.
#ifndef REPORTGENERATOR_LANGUAGES_H
#define REPORTGENERATOR_LANGUAGES_H

// Locale code of a language name ("FRENCH" -> "fr_FR"); "en_US" for any other name.
const char* LocaleCodeOfLanguage(const char* name);

// Language of the process's message locale, in a process-wide buffer that the next call
// overwrites; never null, "ENGLISH" when the locale names no language of the table.
char* GetCurrentSettingLanguage();

#endif
