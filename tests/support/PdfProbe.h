// What poppler's command-line tools read from a PDF file.
#ifndef RG_TESTS_PDFPROBE_H
#define RG_TESTS_PDFPROBE_H

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class PdfProbe
{
public:
    explicit PdfProbe(const QString& pdfFile);

    // pdfinfo's "Page size" value, such as "612 x 792 pts (letter)".
    QString PageSize() const;
    QString PageRotation() const;
    int Pages() const;
    // pdftotext in reading order.
    QString Text() const;
    // Rows of pdfimages -list without its two heading lines.
    QStringList ImageRows() const;
    // The embedded images in page order.
    QList<QImage> Images() const;
    // The first page, rasterised by pdftoppm.
    QImage FirstPage(int dpi) const;

    // Standard output of a program; empty when it could not run or failed.
    static QString Run(const QString& program, const QStringList& arguments);

private:
    QString InfoField(const QString& name) const;

    QString m_pdfFile;
};

#endif
