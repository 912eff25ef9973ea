// Report templates: marker lists and the filled page.
#ifndef REPORTGENERATOR_HTMLREPORT_H
#define REPORTGENERATOR_HTMLREPORT_H

#include <ReportGenerator/reportgenerator_export.h>

#include <QStringList>

// A template and the page written from it. Markers: {~label~}, {@tag@}, {$image$}; a
// marker never spans lines. Templates are read as UTF-8.
class REPORTGENERATOR_EXPORT CHtmlReport
{
public:
    // Keeps copies of both names; an empty or null template name stores neither.
    CHtmlReport(char* pcTemplateHtmlFilename, char* pcOutputHtmlFilename);
    ~CHtmlReport();
    CHtmlReport(const CHtmlReport&) = delete;
    CHtmlReport& operator=(const CHtmlReport&) = delete;

    // Appends the text of every marker of the given pattern pair (QRegExp patterns, the
    // opening one matched minimally) to list, in template order. Returns 0, or 1 (list
    // unchanged) when the template cannot be read.
    int ParseHtml(const char* pcOpening, const char* pcClosing, QStringList& list);
    int GetListLabels(QStringList& list);
    int GetListTags(QStringList& list);
    int GetListImages(QStringList& list);

    // Writes the page: the n-th marker of each kind receives the n-th item of its list;
    // markers beyond the last item stay as they are. The page is ISO 8859-1, with every
    // character beyond it as a numeric character reference. Returns 0 when the whole page
    // was written, 1 otherwise (the previous page stays as it was).
    int GenerateReport(QStringList labels, QStringList tags, QStringList images);

private:
    char* m_pcTemplateHtmlFilename;
    char* m_pcOutputHtmlFilename;
};

#endif
