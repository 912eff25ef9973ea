/* Report and language entry points of libReportGenerator, for C and C++ host programs.
 * Text arguments are NUL-terminated strings that the library only reads; the caller keeps
 * ownership. The library keeps process-wide state (language, text domain, staging page):
 * make one call at a time. */
#ifndef REPORTGENERATOR_REPORTGENERATOR_H
#define REPORTGENERATOR_REPORTGENERATOR_H

#include <ReportGenerator/reportgenerator_export.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Output formats of CreateReport, RenderReport and GenerateReportHtml. */
enum {
    REPORT_FORMAT_PDF = 0, /* PDF file named after the output name (".pdf" appended) */
    REPORT_FORMAT_PRINTER = 1, /* printer chosen in the print dialog */
    REPORT_FORMAT_SCREEN = 2, /* full-screen window until Close is pressed */
    REPORT_FORMAT_POSTSCRIPT = 3 /* refused */
};

/* Paper sizes of the PDF files. */
enum {
    REPORT_PAGE_LETTER = 0, /* US Letter, 612 x 792 points: the default */
    REPORT_PAGE_A4 = 1 /* ISO A4, 595 x 842 points */
};

/* Fills the template into the staging page "/tmp/DomReportGenerator.htm".
 * pcLanguage is a name of the language table ("ENGLISH", ...) or NULL for the
 * environment's language; the two XML arguments are XML texts, not file names.
 * Returns 0 when the page was written, 1 on failure (see the log). */
REPORTGENERATOR_EXPORT int CreateReportHtml(const char* pcHtmlTemplateFilename,
    const char* pcLanguage, const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo,
    const char* pcImageLowMagPath, const char* pcImageHighMagPath);

/* CreateReportHtml, then RenderReport of the staging page to pcOutputFilename (relative
 * names are resolved against the working directory). Returns 1 when the page could not
 * be built, else the result of RenderReport. */
REPORTGENERATOR_EXPORT int CreateReport(const char* pcHtmlTemplateFilename, const char* pcLanguage,
    const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo, const char* pcImageLowMagPath,
    const char* pcImageHighMagPath, int iFormatType, const char* pcOutputFilename);

/* Puts the staging page out in iFormatType. Returns 0 when it ran, -1 when there is no
 * staging page or the output failed. */
REPORTGENERATOR_EXPORT int RenderReport(const char* pcOutputFilename, int iFormatType);

/* Copies an already filled page onto the staging page and renders it like RenderReport;
 * returns the result of RenderReport. */
REPORTGENERATOR_EXPORT int GenerateReportHtml(
    const char* pcHtmlFilename, const char* pcOutputFilename, int iFormatType);

/* Paper size of the PDF files that the render calls write from now on, for the whole
 * process: REPORT_PAGE_LETTER or REPORT_PAGE_A4. Returns 0, or -1 (size unchanged) for any
 * other value. Printer output takes its paper from the print dialog. */
REPORTGENERATOR_EXPORT int SetReportPageSize(int iPageSize);

/* Number of report languages (18). */
REPORTGENERATOR_EXPORT int GetNumLanguages(void);

/* Name of language iIndex ("ENGLISH" outside 0..17); also makes it the current report
 * language. The text stays valid until the current language changes. */
REPORTGENERATOR_EXPORT const char* GetLanguage(int iIndex);

/* Sets the catalog package name and root directory; a NULL argument keeps its setting.
 * Catalogs are read from <dir>/<locale code>/LC_MESSAGES/<package>.mo. */
REPORTGENERATOR_EXPORT void SetTextDomain(const char* pcPackage, const char* pcDir);

/* Copies the package name and directory, each with its terminating zero, into the
 * caller's buffers (a NULL buffer is skipped); the caller sizes them. */
REPORTGENERATOR_EXPORT void GetTextDomain(char* pcPackage, char* pcDir);

#ifdef __cplusplus
}
#endif

#endif
