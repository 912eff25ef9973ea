// Translation of one text into the current report language.
#ifndef REPORTGENERATOR_TRANSLATION_H
#define REPORTGENERATOR_TRANSLATION_H

#include <ReportGenerator/reportgenerator_export.h>

// Translation of text in the catalog of the current language, or text itself (the very
// pointer) when there is none. A translation stays readable until the next call.
REPORTGENERATOR_EXPORT const char* Get_Translation(const char* text);

#endif
