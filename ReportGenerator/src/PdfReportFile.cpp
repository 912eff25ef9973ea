#include "PdfReportFile.h"

#include "LogTrace.h"

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>
#include <QWebView>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Bytes at the end of the file that hold "startxref", the offset and "%%EOF".
constexpr qint64 TRAILER_TAIL = 64;

void configure(QPrinter& printer, const QString& fileName)
{
    printer.setOutputFileName(fileName);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setColorMode(QPrinter::Color);
}

// The offset that "startxref" announces in the tail, or -1.
qint64 crossReferenceOffset(const QByteArray& tail)
{
    const int keyword = tail.lastIndexOf("startxref");
    if (keyword < 0 || !tail.trimmed().endsWith("%%EOF"))
        return -1;
    bool ok = false;
    const qint64 offset = tail.mid(keyword + 9).replace("%%EOF", "").trimmed().toLongLong(&ok);
    return ok ? offset : -1;
}

// The file mode that a plain new file gets, instead of the temporary file's 0600.
void giveDefaultMode(const QString& fileName)
{
    const mode_t mask = umask(0);
    umask(mask);
    chmod(QFile::encodeName(fileName).constData(), 0666 & ~mask);
}

} // namespace

CPdfReportFile::CPdfReportFile(const QString& outputFilename)
    : m_fileName(
        outputFilename.endsWith(QLatin1String(".pdf")) ? outputFilename : outputFilename + ".pdf")
{ }

bool CPdfReportFile::Print(QWebView* view) const
{
    const QFileInfo target(m_fileName);
    QTemporaryFile temporary(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    if (!temporary.open()) {
        RG_LOG(LOG_ERR, "%s::Cannot create a file beside \"%s\": %s", "Print",
            m_fileName.toLatin1().constData(), temporary.errorString().toLatin1().constData());
        return false;
    }
    temporary.close();
    QPrinter printer(QPrinter::ScreenResolution);
    configure(printer, temporary.fileName());
    view->print(&printer);
    if (printer.printerState() == QPrinter::Error || !IsComplete(temporary.fileName())) {
        RG_LOG(LOG_ERR, "%s::The PDF file \"%s\" could not be written completely", "Print",
            m_fileName.toLatin1().constData());
        return false;
    }
    giveDefaultMode(temporary.fileName());
    if (rename(QFile::encodeName(temporary.fileName()).constData(),
            QFile::encodeName(m_fileName).constData())
        != 0) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to rename the PDF file to %s", "Print", errno,
            m_fileName.toLatin1().constData());
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

bool CPdfReportFile::IsComplete(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < TRAILER_TAIL)
        return false;
    file.seek(file.size() - TRAILER_TAIL);
    const qint64 offset = crossReferenceOffset(file.read(TRAILER_TAIL));
    return offset > 0 && offset < file.size() && file.seek(offset) && file.read(4) == "xref";
}
