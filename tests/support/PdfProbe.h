// What poppler's command-line tools read from a PDF file.
#ifndef RG_TESTS_PDFPROBE_H
#define RG_TESTS_PDFPROBE_H

#include <QImage>
#include <QString>
#include <QStringList>

class PdfProbe
{
public:
    explicit PdfProbe(const QString& pdfFile);

    // A field of pdfinfo: Info("Page size") is "612 x 792 pts (letter)" for US Letter.
    QString Info(const QString& field) const;
    int Pages() const { return Info(QStringLiteral("Pages")).toInt(); }
    // pdftotext in reading order.
    QString Text() const;
    // Width, height and colour space of each embedded image, such as "64 48 rgb".
    QStringList ImageRows() const;
    QImage FirstImage() const;
    // The first page, rasterised by pdftoppm.
    QImage FirstPage(int dpi) const;

private:
    QString m_pdfFile;
};

#endif
