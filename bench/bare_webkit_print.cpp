// The floor under the library's renderer: loads a finished page into a new Qt WebKit view
// and prints it to a US Letter PDF, as many times as asked, with nothing else around it.
//
//   bare_webkit_print PAGE.htm OUTPUT_DIR [COUNT] [--fresh-images]
//
// With --fresh-images no decoded image outlives its page, so that an image rewritten at the
// same path between two pages is read again, as the instrument's next inspection needs;
// without it the images of the first page are decoded once for all.
// Prints "app_ms" (creating the application object), then "report=i ms=..." for each page
// and the resident memory after the first and the last page, like repeat_reports.
#include "process_status.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWebSettings>
#include <QWebView>
#include <cstring>

namespace {

bool loadPage(QWebView& view, const QString& page)
{
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&view, &QWebView::loadFinished, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    view.load(QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()));
    loop.exec();
    return loaded;
}

void printToLetterPdf(QWebView& view, const QString& pdf)
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFileName(pdf);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setColorMode(QPrinter::Color);
    view.print(&printer);
}

bool printOnePage(const QString& page, const QString& pdf)
{
    QWebView view;
    if (!loadPage(view, page)) {
        return false;
    }
    printToLetterPdf(view, pdf);
    return isFinishedPdf(qPrintable(pdf));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(
            stderr, "usage: bare_webkit_print PAGE.htm OUTPUT_DIR [COUNT] [--fresh-images]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    QApplication application(argc, argv);
    std::printf("app_ms=%.3f\n", millisecondsSince(start));
    const QString page = QString::fromLocal8Bit(argv[1]);
    const QString pdf = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bare.pdf");
    const int count = argc > 3 ? std::atoi(argv[3]) : 1;
    if (argc > 4 && std::strcmp(argv[4], "--fresh-images") == 0) {
        QWebSettings::setObjectCacheCapacities(0, 0, 0);
    }
    for (int index = 1; index <= count; ++index) {
        std::remove(qPrintable(pdf));
        const double cpuStart = processCpuMilliseconds();
        start = std::chrono::steady_clock::now();
        if (!printOnePage(page, pdf)) {
            std::fprintf(stderr, "bare_webkit_print: page %d not printed\n", index);
            return 1;
        }
        const double milliseconds = millisecondsSince(start);
        std::printf("report=%d ms=%.3f cpu_ms=%.3f pause_ms=0 pauses=0\n", index, milliseconds,
            processCpuMilliseconds() - cpuStart);
        if (index == 1) {
            printFirstPdfFinished();
            printResidentMemory("after_first");
        }
    }
    printResidentMemory("after_last");
    return 0;
}
