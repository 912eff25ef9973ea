#include "PdfProbe.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

// Standard output of a program; empty when it failed.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(15000) && process.exitCode() == 0;
    return done ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

} // namespace

PdfProbe::PdfProbe(const QString& pdfFile)
    : m_pdfFile(pdfFile)
{ }

QString PdfProbe::Info(const QString& field) const
{
    for (const QString& line : run(QStringLiteral("pdfinfo"), { m_pdfFile }).split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return QString();
}

QString PdfProbe::Text() const
{
    return run(QStringLiteral("pdftotext"), { m_pdfFile, QStringLiteral("-") });
}

QStringList PdfProbe::ImageRows() const
{
    const QStringList lines =
        run(QStringLiteral("pdfimages"), { QStringLiteral("-list"), m_pdfFile }).split('\n');
    QStringList rows;
    for (const QString& line : lines.mid(2, lines.size() - 3))
        rows.append(line.split(' ', Qt::SkipEmptyParts).mid(3, 3).join(' '));
    return rows;
}

QImage PdfProbe::FirstImage() const
{
    QTemporaryDir directory;
    run(QStringLiteral("pdfimages"),
        { QStringLiteral("-png"), QStringLiteral("-l"), QStringLiteral("1"), m_pdfFile,
            directory.filePath("image") });
    return QImage(directory.filePath("image-000.png"));
}

QImage PdfProbe::FirstPage(int dpi) const
{
    QTemporaryDir directory;
    run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
            QStringLiteral("-singlefile"), m_pdfFile, directory.filePath("page") });
    return QImage(directory.filePath("page.png"));
}
