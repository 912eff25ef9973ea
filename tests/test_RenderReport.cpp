// The renderer on real output: PDFs read back with poppler's tools, the print dialog and the
// report window answered from the event loop, hostile pages, and hosts of every kind in
// processes of their own.
#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/reportgenerator_version.h>

#include "CapturedStderr.h"
#include "ChildProcess.h"
#include "Files.h"
#include "PdfProbe.h"
#include "TableTest.h"
#include "TempDir.h"
#include "render/LocalNetworkAccessManager.h"
#include "render/PdfReportFile.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QNetworkRequest>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>

// Counts the calls of umask by the library's code, linked into this program: the process
// mask is shared with the host's other threads and must never change, even for a moment.
int umaskCalls = 0;

extern "C" mode_t umask(mode_t mask)
{
    ++umaskCalls;
    return static_cast<mode_t>(syscall(SYS_umask, mask));
}

namespace {

using testing::HasSubstr;
using Names = std::vector<std::string>;

const std::string STAGING = "/tmp/DomReportGenerator.htm";
const std::string DATA = RG_RENDER_TEST_DATA;
const QString WINDOW_TITLE = QStringLiteral("Orvane - TARN 200 - DOVA Report");
enum Format { PDF = 0, PRINTER = 1, SCREEN = 2, POSTSCRIPT = 3 };

void writePng(const char* path, const QColor& colour, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(QString::fromLatin1(path), "PNG");
}

int render(const std::string& output, int format)
{
    CRenderReport renderer(QString::fromStdString(output), nullptr);
    return renderer.OutputReport(format);
}

int pixelsNear(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qAbs(qRed(pixel) - qRed(colour)) + qAbs(qGreen(pixel) - qGreen(colour))
                    + qAbs(qBlue(pixel) - qBlue(colour))
                < 48;
        }
    }
    return count;
}

// Runs action from the event loop until it returns true, for the dialog and the window that
// the renderer runs modally. Timers need the application, which the first renderer makes.
template <typename Action> void whenReady(Action action)
{
    const CRenderReport makesTheApplication(QString(), nullptr);
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action]() mutable {
        if (action())
            timer->deleteLater();
    });
    timer->start(20);
}

QWidget* reportWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == WINDOW_TITLE)
            return window;
    }
    return nullptr;
}

// The staging page from a page of data/render, the test directory put in for @DIR@.
template <class Row = std::tuple<>> struct Renderer : Table<Row>
{
    Renderer() { unlink(STAGING.c_str()); }
    ~Renderer() override { unlink(STAGING.c_str()); }

    void stage(const std::string& page) const
    {
        files::Write(
            STAGING, files::ReadFilled(DATA + "/" + page, { { "@DIR@", directory.path() } }));
    }
    Names written() const { return files::Entries(directory.path()); }

    TempDir directory { TempDir::AsWorkingDirectory };
};
using RenderReport = Renderer<>;

TEST_F(RenderReport, PdfIsOneUsLetterPageWithTheTextBadgeAndImagesAsTheyAreNow)
{
    writePng("low.png", Qt::red, QSize(64, 48));
    writePng("high.png", Qt::blue, QSize(40, 40));
    stage("report.htm");
    umask(022);
    umaskCalls = 0;
    ASSERT_EQ(0, render("report", PDF));

    const PdfProbe pdf(QStringLiteral("report.pdf"));
    EXPECT_EQ("612 x 792 pts (letter)", pdf.Info("Page size"));
    EXPECT_EQ(1, pdf.Pages());
    EXPECT_EQ("Report", pdf.Info("Title"));
    EXPECT_EQ("ReportGenerator " REPORTGENERATOR_VERSION_STRING, pdf.Info("Creator"));
    EXPECT_FALSE(pdf.Info("CreationDate").isEmpty());
    EXPECT_TRUE(pdf.Text().contains("End-face report"));
    EXPECT_TRUE(pdf.Text().contains(QString::fromUtf8("Fibre 9/125 \xc2\xb5m")));
    EXPECT_GT(pixelsNear(pdf.FirstPage(60), qRgb(0xd4, 0xf0, 0xdc)), 500);
    EXPECT_EQ(pdf.ImageRows(), (QStringList { "64 48 rgb", "40 40 rgb" }));
    // The mode of a new file, found without changing the process's umask.
    struct stat status;
    stat("report.pdf", &status);
    EXPECT_EQ(0666u & ~022u, status.st_mode & 07777);
    EXPECT_EQ(0, umaskCalls);

    // The next inspection's image is written to the same path as the last one.
    writePng("low.png", Qt::green, QSize(64, 48));
    ASSERT_EQ(0, render("next", PDF));
    EXPECT_EQ(64 * 48, pixelsNear(pdf.FirstImage(), qRgb(255, 0, 0)));
    EXPECT_EQ(
        64 * 48, pixelsNear(PdfProbe(QStringLiteral("next.pdf")).FirstImage(), qRgb(0, 255, 0)));
}

// A PDF gets ".pdf" appended unless it ends so; one that cannot be written whole gives -1,
// and an earlier file of its name survives. given name, file size limit, result, files after
const std::string LONGEST = std::string(251, 'r') + ".pdf";
const std::tuple<std::string, rlim_t, int, Names> PDF_OUTPUTS[] = { { "report", RLIM_INFINITY, 0,
                                                                        { "report.pdf" } },
    { "report.pdf", RLIM_INFINITY, 0, { "report.pdf" } },
    { "report.PDF", RLIM_INFINITY, 0, { "report.PDF.pdf", "report.pdf" } },
    { "report.pdf.txt", RLIM_INFINITY, 0, { "report.pdf", "report.pdf.txt.pdf" } },
    { "", RLIM_INFINITY, 0, { ".pdf", "report.pdf" } },
    { LONGEST, RLIM_INFINITY, 0, { "report.pdf", LONGEST } },
    { "missing/report", RLIM_INFINITY, -1, { "report.pdf" } },
    { "/proc/report", RLIM_INFINITY, -1, { "report.pdf" } },
    { "report", 2048, -1, { "report.pdf" } } };
TABLE_TEST(Renderer, PdfOutput, IsNamedAndWrittenWholeOrNotAtAll, PDF_OUTPUTS)
{
    const auto& [given, fileSizeLimit, result, after] = GetParam();
    stage("text.htm");
    files::Write("report.pdf", "the earlier report");
    rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limit { fileSizeLimit, previous.rlim_max };
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    CapturedStderr log;
    EXPECT_EQ(result, render(given, PDF));
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(written(), after);
    const bool replaced = result == 0 && (given == "report" || given == "report.pdf");
    EXPECT_EQ(!replaced, files::Read("report.pdf") == "the earlier report");
    EXPECT_EQ(result != 0, log.text().find("[ERROR  ]") != std::string::npos);
}

const std::string PDF_BODY = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n";
const std::string PDF_XREF = "xref\n0 1\n0000000000 65535 f \ntrailer\n<< /Size 1 >>\n";
// the file, complete
const std::tuple<const char*, std::string, bool> PDF_FILES[] = {
    { "Whole", PDF_BODY + PDF_XREF + "startxref\n29\n%%EOF\n", true },
    { "CutInTheTable", (PDF_BODY + PDF_XREF).substr(0, 60), false },
    { "CutBeforeTheEnd", PDF_BODY + PDF_XREF + "startxref\n29\n", false },
    { "OffsetBesideTheTable", PDF_BODY.substr(0, 20) + PDF_XREF + "startxref\n29\n%%EOF\n", false },
    { "Empty", "", false }
};
TABLE_TEST(Table, PdfFile, IsCompleteOnlyWithItsCrossReferenceAndEnd, PDF_FILES)
{
    TempDir directory;
    files::Write(directory.file("file.pdf"), std::get<1>(GetParam()));
    EXPECT_EQ(std::get<2>(GetParam()),
        CPdfReportFile::IsComplete(QString::fromStdString(directory.file("file.pdf"))));
}

// format, what stands at the staging path, result, logged
const char* const NO_PAGE = "OutputReport::File /tmp/DomReportGenerator.htm not exists";
const char* const NOT_LOADED = "could not be loaded: nothing is output";
const std::tuple<int, const char*, int, const char*> FORMAT_CODES[] = { { PDF, "", -1, NO_PAGE },
    { PRINTER, "", -1, NO_PAGE }, { SCREEN, "", -1, NO_PAGE }, { POSTSCRIPT, "", -1, NO_PAGE },
    { POSTSCRIPT, "page", 0, "POSTSCRIPT format not supported by Qt5" }, { 4, "page", 0, "" },
    { -1, "page", 0, "" }, { PDF, "directory", -1, NOT_LOADED }, { PDF, "fifo", -1, NOT_LOADED } };
TABLE_TEST(Renderer, FormatCode, OutputsNothingWhenThereIsNothingToOutput, FORMAT_CODES)
{
    const auto& [format, staging, result, logged] = GetParam();
    if (staging == std::string("page"))
        stage("text.htm");
    else if (*staging)
        staging == std::string("fifo") ? mkfifo(STAGING.c_str(), 0600)
                                       : mkdir(STAGING.c_str(), 0700);
    CapturedStderr log;
    EXPECT_EQ(result, render("report", format));
    rmdir(STAGING.c_str());
    EXPECT_EQ(written(), Names {});
    EXPECT_EQ(nullptr, reportWindow());
    EXPECT_THAT(log.text(), HasSubstr(logged));
}

// Answered as a person would: the printer's file typed into the dialog, then OK or Cancel.
// accepted, the file the chosen printer writes ("." cannot be written), result, written
const std::tuple<bool, const char*, int, Names> PRINT_DIALOGS[] = { { true, "printer.pdf", 0,
                                                                        { "printer.pdf" } },
    { false, "printer.pdf", 0, {} }, { true, ".", -1, {} } };
TABLE_TEST(Renderer, PrintDialog, PrintsOnlyWhenAcceptedOnAPrinterThatWorks, PRINT_DIALOGS)
{
    const auto& [accept, printerFile, result, expected] = GetParam();
    stage("text.htm");
    const QString file = QString::fromStdString(directory.path() + "/" + printerFile);
    whenReady([accept = accept, file] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog) {
            dialog->printer()->setOutputFileName(file);
            dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->setText(file);
            accept ? dialog->accept() : dialog->reject();
        }
        return dialog != nullptr;
    });
    EXPECT_EQ(result, render("report", PRINTER));
    EXPECT_EQ(written(), expected);
}

// The call returns when Close is pressed, not when the window is merely minimised.
TEST_F(RenderReport, ScreenShowsTheReportFullScreenUntilCloseIsPressed)
{
    stage("text.htm");
    bool fullScreen = false;
    QElapsedTimer shown;
    whenReady([&] {
        QWidget* window = reportWindow();
        if (window && !shown.isValid()) {
            fullScreen = window->isFullScreen();
            window->showMinimized();
            shown.start();
        } else if (window && shown.elapsed() >= 300) {
            window->findChild<QPushButton*>()->click();
            return true;
        }
        return false;
    });
    EXPECT_EQ(0, render("report", SCREEN));
    EXPECT_TRUE(fullScreen);
    EXPECT_GE(shown.elapsed(), 300);
    EXPECT_EQ(nullptr, reportWindow());
}

TEST_F(RenderReport, NetworkRequestsAndScriptsOfThePageAreRefused)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const std::string url = "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/x.png";
    files::Write(STAGING, "<img src=\"" + url + "\"><script>while (true) {}</script><p>text</p>");
    CapturedStderr log;
    ASSERT_EQ(0, render("report", PDF));
    EXPECT_FALSE(server.hasPendingConnections() || server.waitForNewConnection(200));
    EXPECT_THAT(log.text(), HasSubstr("Refused request for \"" + url + "\""));
    EXPECT_TRUE(PdfProbe(QStringLiteral("report.pdf")).Text().contains("text"));
}

// url, operation, refused before anything is read
const auto GET = QNetworkAccessManager::GetOperation;
const std::tuple<const char*, QNetworkAccessManager::Operation, bool> REQUESTS[] = {
    { "file:///tmp/low.png", GET, false }, { "data:image/png;base64,iVBORw0KGgo=", GET, false },
    { "file://host/x.png", GET, true }, { "ftp://127.0.0.1/x.png", GET, true },
    { "qrc:/x.png", GET, true }, { "low.png", GET, true },
    { "file:///tmp/x", QNetworkAccessManager::PostOperation, true }
};
TABLE_TEST(Table, LocalNetworkAccess, LetsOnlyLocalFilesAndInlineDataBeRead, REQUESTS)
{
    const auto& [url, operation, refused] = GetParam();
    const QNetworkRequest request { QUrl(QString::fromLatin1(url)) };
    EXPECT_EQ(refused, !CLocalNetworkAccessManager::Refusal(operation, request).isEmpty());
}

// XML values reach the page as HTML: none may load another document or wait forever.
// page of data/render/hostile, logged
const char* const ONLY_DOCUMENT = "the report page is the only document loaded";
const std::tuple<const char*, const char*> HOSTILE_PAGES[] = { { "iframe.htm", ONLY_DOCUMENT },
    { "object.htm", ONLY_DOCUMENT }, { "embed.htm", ONLY_DOCUMENT },
    { "refresh.htm", ONLY_DOCUMENT },
    { "host.htm", "a file URL with a host names another machine" },
    { "fifo.htm", "a FIFO owned by" } };
TABLE_TEST(Renderer, HostilePage, ShowsTheReportButNothingElse, HOSTILE_PAGES)
{
    files::Write("secret.txt", "SECRET TEXT");
    mkfifo("fifo.png", 0600);
    stage(std::string("hostile/") + std::get<0>(GetParam()));
    CapturedStderr log;
    ASSERT_EQ(0, render("report", PDF));
    const QString text = PdfProbe(QStringLiteral("report.pdf")).Text();
    EXPECT_TRUE(text.contains("visible"));
    EXPECT_FALSE(text.contains("SECRET"));
    EXPECT_THAT(log.text(), HasSubstr(std::get<1>(GetParam())));
}

// ---- Hosts, each in a process of its own ------------------------------------------------

// test HostChild.DISABLED_<name>, display (null: the test's own environment; "": none)
const std::tuple<const char*, const char*> HOSTS[] = { { "WithoutApplication", nullptr },
    { "WithItsOwnApplicationRunningItsLoop", nullptr }, { "WithOnlyACoreApplication", nullptr },
    { "WithoutDisplay", "" }, { "WithoutDisplay", ":4711" } };
TABLE_TEST(Table, Host, GetsWhatItsKindOfHostIsPromised, HOSTS)
{
    const auto& [name, display] = GetParam();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (display)
        environment = EnvironmentWithoutDisplay();
    if (display && *display)
        environment.insert(QStringLiteral("DISPLAY"), display);
    const ChildOutcome child =
        RunChildTest(QStringLiteral("HostChild.DISABLED_") + name, environment);
    EXPECT_TRUE(child.Passed()) << child.output.toStdString();
}

TEST(HostWithDlopen, RendersUnloadsRendersAgainAndExits)
{
    TempDir directory;
    files::Write(directory.file("page.htm"), "<p>loaded twice</p>");
    const ChildOutcome host = RunProgram(QStringLiteral(RG_DLOPEN_HOST),
        { RG_LIBRARY, QString::fromStdString(directory.file("page.htm")),
            QString::fromStdString(directory.file("first.pdf")),
            QString::fromStdString(directory.file("second.pdf")) },
        QProcessEnvironment::systemEnvironment());
    EXPECT_TRUE(host.exitedNormally && host.exitCode == 0) << host.output.toStdString();
    EXPECT_TRUE(CPdfReportFile::IsComplete(QString::fromStdString(directory.file("second.pdf"))));
}

struct HostChild : RenderReport
{
    void closeTheWindowWhenShown()
    {
        whenReady([] {
            QWidget* window = reportWindow();
            if (window)
                window->findChild<QPushButton*>()->click();
            return window != nullptr;
        });
    }

    // A host's own application keeps referring to its arguments.
    int argumentCount = 1;
    char hostName[5] = "host";
    char* arguments[2] = { hostName, nullptr };
};

// The first renderer makes the application; the window then has a local loop of its own.
TEST_F(HostChild, DISABLED_WithoutApplication)
{
    stage("text.htm");
    EXPECT_EQ(0, render("first", PDF));
    auto* created = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(QStringList { "ReportGenerator" }, QCoreApplication::arguments());
    closeTheWindowWhenShown();
    EXPECT_EQ(0, render("second", SCREEN));
    EXPECT_EQ(created, QCoreApplication::instance());
}

// The host's application is used as it is, and closing the report does not end its loop.
TEST_F(HostChild, DISABLED_WithItsOwnApplicationRunningItsLoop)
{
    QApplication host(argumentCount, arguments);
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    stage("text.htm");
    int pdf = 1;
    int screen = 1;
    QTimer::singleShot(0, [&] {
        pdf = render("report", PDF);
        closeTheWindowWhenShown();
        screen = render("report", SCREEN);
        QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
    });
    EXPECT_EQ(7, host.exec());
    EXPECT_EQ(0, pdf);
    EXPECT_EQ(0, screen);
    EXPECT_EQ(&host, QCoreApplication::instance());
    EXPECT_EQ(libraryPaths, QCoreApplication::libraryPaths());
}

TEST_F(HostChild, DISABLED_WithOnlyACoreApplication)
{
    QCoreApplication host(argumentCount, arguments);
    stage("text.htm");
    // Any widget here would abort the process.
    for (int format : { PDF, PRINTER, SCREEN })
        EXPECT_EQ(-1, render("report", format)) << format;
    EXPECT_EQ(written(), Names {});
}

// Without a display, or with one that cannot be opened, PDF output works offscreen and the
// environment stays as it was; nobody could close a window or answer a dialog.
TEST_F(HostChild, DISABLED_WithoutDisplay)
{
    const QByteArray display = qgetenv("DISPLAY");
    stage("text.htm");
    EXPECT_EQ(0, render("report", PDF));
    EXPECT_EQ("offscreen", QGuiApplication::platformName());
    EXPECT_TRUE(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"));
    EXPECT_EQ(display, qgetenv("DISPLAY"));
    for (int format : { SCREEN, PRINTER })
        EXPECT_EQ(-1, render("other", format)) << format;
}

} // namespace
