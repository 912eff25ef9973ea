#include "render/PdfReportFile.h"

#include "LogTrace.h"
#include "io/ReplacingFile.h"

#include <ReportGenerator/reportgenerator_version.h>

#include <QFile>
#include <QPrinter>
#include <QWebView>

namespace {

const char* const PRINT = "Print";

// Bytes at the end of the file that hold "startxref", the offset and "%%EOF".
constexpr qint64 TRAILER_TAIL = 64;

void configure(QPrinter& printer, const QString& fileName, QPageSize::PageSizeId size)
{
    printer.setOutputFileName(fileName);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPageSize(QPageSize(size));
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

} // namespace

CPdfReportFile::CPdfReportFile(const QString& outputFilename)
    : m_fileName(
        outputFilename.endsWith(QLatin1String(".pdf")) ? outputFilename : outputFilename + ".pdf")
{ }

bool CPdfReportFile::Print(QWebView* view) const
{
    const QByteArray target = QFile::encodeName(m_fileName);
    CReplacingFile file(target.constData());
    if (!file.Open()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to open file %s", PRINT, file.Error(),
            file.Described().c_str());
        return false;
    }
    const QString writingPath = QFile::decodeName(file.WritingPath().c_str());
    QPrinter printer(QPrinter::ScreenResolution);
    configure(printer, writingPath, s_pageSize);
    // An archive or a document manager shows a PDF by these.
    printer.setDocName(view->title());
    printer.setCreator(QStringLiteral("ReportGenerator " REPORTGENERATOR_VERSION_STRING));
    view->print(&printer);
    if (printer.printerState() == QPrinter::Error || !IsComplete(writingPath)) {
        RG_LOG(LOG_ERR, "%s::The PDF file \"%s\" could not be written completely", PRINT,
            target.constData());
        return false;
    }
    if (!file.Commit()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to write file %s", PRINT, file.Error(),
            target.constData());
        return false;
    }
    return true;
}

QPageSize::PageSizeId CPdfReportFile::s_pageSize = QPageSize::Letter;

void CPdfReportFile::SetPageSize(QPageSize::PageSizeId size)
{
    s_pageSize = size;
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
