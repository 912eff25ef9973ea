#include "PdfProbe.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {
constexpr int TOOL_TIMEOUT_MS = 60000;
}

PdfProbe::PdfProbe(const QString& pdfFile)
    : m_pdfFile(pdfFile)
{ }

QString PdfProbe::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(TOOL_TIMEOUT_MS) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfProbe::InfoField(const QString& name) const
{
    const QStringList lines = Run(QStringLiteral("pdfinfo"), { m_pdfFile }).split('\n');
    for (const QString& line : lines) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed();
    }
    return QString();
}

QString PdfProbe::PageSize() const
{
    return InfoField(QStringLiteral("Page size"));
}

QString PdfProbe::PageRotation() const
{
    return InfoField(QStringLiteral("Page rot"));
}

int PdfProbe::Pages() const
{
    return InfoField(QStringLiteral("Pages")).toInt();
}

QString PdfProbe::Text() const
{
    return Run(QStringLiteral("pdftotext"), { m_pdfFile, QStringLiteral("-") });
}

QStringList PdfProbe::ImageRows() const
{
    QStringList rows = Run(QStringLiteral("pdfimages"), { QStringLiteral("-list"), m_pdfFile })
                           .split('\n', Qt::SkipEmptyParts);
    return rows.mid(2);
}

QList<QImage> PdfProbe::Images() const
{
    QTemporaryDir directory;
    Run(QStringLiteral("pdfimages"),
        { QStringLiteral("-png"), m_pdfFile, directory.filePath("image") });
    QList<QImage> images;
    const QStringList files =
        QDir(directory.path()).entryList({ "image-*.png" }, QDir::Files, QDir::Name);
    for (const QString& file : files)
        images.append(QImage(directory.filePath(file)));
    return images;
}

QImage PdfProbe::FirstPage(int dpi) const
{
    QTemporaryDir directory;
    Run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
            QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
            QStringLiteral("-singlefile"), m_pdfFile, directory.filePath("page") });
    return QImage(directory.filePath("page.png"));
}
