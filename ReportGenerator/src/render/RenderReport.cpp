#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/ReportGenerator.h>

#include "LogTrace.h"
#include "render/PdfReportFile.h"
#include "render/ReportApplication.h"
#include "render/ReportWebPage.h"
#include "render/WindowCloseWaiter.h"
#include "report/StagingPage.h"
#include "report/StagingPageLock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebSettings>
#include <QWebView>

namespace {

const char* const OUTPUT_REPORT = "OutputReport";

constexpr int LOAD_TIMEOUT_MS = 90000;
constexpr int WINDOW_MARGIN = 15;
constexpr int DESTRUCTION_EVENTS_MS = 300;
const char* const WINDOW_TITLE = "Orvane - TARN 200 - DOVA Report";

QWebView* createWebView()
{
    CReportApplication::KeepQtLoaded();
    // Decoded images are cached per process under their URL, and the next inspection's
    // image is written to the same path: keep no resource beyond its page. Cheaper than
    // clearing every cache before each load, which also drops the fonts.
    QWebSettings::setObjectCacheCapacities(0, 0, 0);
    auto* view = new QWebView;
    view->setPage(new CReportWebPage(view));
    return view;
}

// Waits for the load, at most LOAD_TIMEOUT_MS, and tells whether the page could be read.
// A page that takes longer goes out as it stands. The view may finish inside load()
// itself, before any loop could see the signal.
bool loadStagingPage(QWebView* view)
{
    bool finished = false;
    bool loaded = false;
    QEventLoop loop;
    QObject::connect(view, &QWebView::loadFinished, &loop, [&](bool ok) {
        finished = true;
        loaded = ok;
        loop.quit();
    });
    view->load(QUrl::fromLocalFile(QStringLiteral(STAGING_PAGE_PATH)));
    if (finished)
        return loaded;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(LOAD_TIMEOUT_MS);
    loop.exec();
    if (!finished)
        RG_LOG(LOG_ERR, "%s::\"%s\" not loaded within %d ms: output as it stands", OUTPUT_REPORT,
            STAGING_PAGE_PATH, LOAD_TIMEOUT_MS);
    return loaded || !finished;
}

// Nobody could see, let alone answer, a window on the platform chosen for a process
// without a display.
bool refusesInteractiveOutput(int iFormatType)
{
    if ((iFormatType != REPORT_FORMAT_SCREEN && iFormatType != REPORT_FORMAT_PRINTER)
        || !CReportApplication::IsHeadless())
        return false;
    RG_LOG(LOG_ERR, "%s::No display: format %d needs one", OUTPUT_REPORT, iFormatType);
    return true;
}

} // namespace

CRenderReport::CRenderReport(const QString& file, QObject* parent)
    : QObject(parent)
    , outputFilename(file)
    , webView(nullptr)
    , win(nullptr)
    , lay(nullptr)
    , btnClose(nullptr)
{
    if (!QCoreApplication::instance()) {
        RG_LOG(LOG_DEBUG, "QApplication build. qApp is NULL => Create a new one");
        CReportApplication::Create();
    }
}

CRenderReport::~CRenderReport()
{
    ReleaseWebView();
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, DESTRUCTION_EVENTS_MS);
}

int CRenderReport::OutputReport(int iFormatType)
{
    RG_LOG(LOG_DEBUG, "%s::iFormatType=%d", OUTPUT_REPORT, iFormatType);
    const CStagingPageLock use;
    if (!CStagingPageLock::Acquire(OUTPUT_REPORT))
        return -1;
    if (!QFile::exists(QStringLiteral(STAGING_PAGE_PATH))) {
        RG_LOG(LOG_ERR, "%s::File %s not exists", OUTPUT_REPORT, STAGING_PAGE_PATH);
        return -1;
    }
    if (!CReportApplication::Widgets()) {
        RG_LOG(LOG_ERR, "%s::The application object is no QApplication: no widget can be made",
            OUTPUT_REPORT);
        return -1;
    }
    if (refusesInteractiveOutput(iFormatType))
        return -1;
    ReleaseWebView();
    webView = createWebView();
    RG_LOG(LOG_DEBUG, "%s::Going to load \"%s\"", OUTPUT_REPORT, STAGING_PAGE_PATH);
    const bool loaded = loadStagingPage(webView);
    // The page is in memory now: other processes may stage theirs.
    CStagingPageLock::Release();
    if (!loaded) {
        RG_LOG(LOG_ERR, "%s::\"%s\" could not be loaded: nothing is output", OUTPUT_REPORT,
            STAGING_PAGE_PATH);
        ReleaseWebView();
        return -1;
    }
    RG_LOG(LOG_DEBUG, "%s::\"%s\" loaded", OUTPUT_REPORT, STAGING_PAGE_PATH);
    switch (iFormatType) {
    case REPORT_FORMAT_SCREEN:
        return ShowOnScreen();
    case REPORT_FORMAT_PDF:
        return PrintToPdf();
    case REPORT_FORMAT_POSTSCRIPT:
        RG_LOG(LOG_ERR, "POSTSCRIPT format not supported by Qt5");
        return 0;
    case REPORT_FORMAT_PRINTER:
        return PrintOnPrinter();
    default:
        return 0;
    }
}

int CRenderReport::PrintToPdf()
{
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    const CPdfReportFile file(outputFilename);
    const int result = file.Print(webView) ? 0 : -1;
    ReleaseWebView();
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    return result;
}

int CRenderReport::PrintOnPrinter()
{
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer);
    int result = 0;
    if (dialog.exec() == QDialog::Accepted) {
        RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
        webView->print(&printer);
        if (printer.printerState() == QPrinter::Error) {
            RG_LOG(LOG_ERR, "%s::The printer reported an error", OUTPUT_REPORT);
            result = -1;
        }
    }
    ReleaseWebView();
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    return result;
}

int CRenderReport::ShowOnScreen()
{
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    win = new QWidget;
    RG_LOG(LOG_DEBUG, "%s::&win=%p\n", OUTPUT_REPORT, static_cast<void*>(win));
    btnClose = new QPushButton(QStringLiteral("Close"));
    RG_LOG(LOG_DEBUG, "%s::&btnClose=%p\n", OUTPUT_REPORT, static_cast<void*>(btnClose));
    QObject::connect(btnClose, &QPushButton::clicked, win, &QWidget::close);
    lay = new QVBoxLayout;
    RG_LOG(LOG_DEBUG, "%s::&lay=%p\n", OUTPUT_REPORT, static_cast<void*>(lay));
    lay->setContentsMargins(WINDOW_MARGIN, WINDOW_MARGIN, WINDOW_MARGIN, WINDOW_MARGIN);
    lay->addWidget(webView);
    lay->addWidget(btnClose);
    win->setLayout(lay);
    webView = nullptr; // the window owns it now
    win->setWindowTitle(QString::fromLatin1(WINDOW_TITLE));
    // Closing the report must not end the host's own event loop.
    win->setAttribute(Qt::WA_QuitOnClose, false);
    win->showFullScreen();
    CWindowCloseWaiter(win).Wait();
    RG_LOG(LOG_DEBUG, "%s::\n", OUTPUT_REPORT);
    delete win;
    win = nullptr;
    lay = nullptr;
    btnClose = nullptr;
    return 0;
}

void CRenderReport::ReleaseWebView()
{
    delete webView;
    webView = nullptr;
}
