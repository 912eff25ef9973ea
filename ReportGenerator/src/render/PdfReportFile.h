// The PDF file of a report: US Letter or A4, portrait, colour, one copy, at screen resolution,
// titled after the page and naming the library as its creator.
#ifndef REPORTGENERATOR_PDFREPORTFILE_H
#define REPORTGENERATOR_PDFREPORTFILE_H

#include <QPageSize>
#include <QString>

class QWebView;

// Prints into a temporary file beside the target and renames it into place only when the
// file is complete, so that no partial PDF ever stands under the target name and an
// earlier file of that name survives a failure.
class CPdfReportFile
{
public:
    // ".pdf" is appended unless the name already ends with it (case-sensitive).
    explicit CPdfReportFile(const QString& outputFilename);

    const QString& FileName() const { return m_fileName; }

    // False, with a log line, when the file could not be written completely.
    bool Print(QWebView* view) const;

    // A PDF file that ends with its cross-reference table where its trailer says.
    static bool IsComplete(const QString& fileName);

    // The paper of every PDF from now on, for the whole process (US Letter at first).
    static void SetPageSize(QPageSize::PageSizeId size);

private:
    static QPageSize::PageSizeId s_pageSize;

    QString m_fileName;
};

#endif
