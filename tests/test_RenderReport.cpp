// The renderer on real output: the PDF read back with poppler's tools, the print dialog
// answered and the report window closed by a timer, hosts of every kind in processes of
// their own.
#include <ReportGenerator/RenderReport.h>

#include "ChildProcess.h"
#include "PdfProbe.h"
#include "RenderTestFiles.h"
#include "render/LocalNetworkAccessManager.h"
#include "render/PdfReportFile.h"
#include "report/StagingPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Counts the calls of umask by the library's code, linked into this program: the process
// mask is shared with the host's other threads and must never change, even for a moment.
int umaskCalls = 0;

extern "C" mode_t umask(mode_t mask)
{
    ++umaskCalls;
    return static_cast<mode_t>(syscall(SYS_umask, mask));
}

namespace {

using namespace renderTest;

const QString STAGING = QStringLiteral(STAGING_PAGE_PATH);
const QString WINDOW_TITLE = QStringLiteral("Orvane - TARN 200 - DOVA Report");
const QString LETTER_PORTRAIT = QStringLiteral("612 x 792 pts (letter)");
constexpr int PDF = 0;
constexpr int PRINTER = 1;
constexpr int SCREEN = 2;
constexpr int POSTSCRIPT = 3;
constexpr int POLL_MS = 20;
constexpr qint64 GIVE_UP_MS = 60000;

QByteArray pageWith(const QByteArray& body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
           ".Pass { color: #0b5d24; background-color: #d4f0dc; border: 1px solid #0b5d24; "
           "padding: 4px 40px; font-size: 30pt; font-weight: bold; }"
           "</style></head><body>"
        + body + "</body></html>";
}

void writePng(const QString& path, const QColor& colour, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG"));
}

QByteArray imageTag(const QString& path)
{
    return "<img src=\"" + QUrl::fromLocalFile(path).toEncoded() + "\">";
}

int render(const QString& output, int format)
{
    CRenderReport renderer(output, nullptr);
    return renderer.OutputReport(format);
}

bool isNear(QRgb pixel, QRgb expected)
{
    const int tolerance = 24;
    return qAbs(qRed(pixel) - qRed(expected)) <= tolerance
        && qAbs(qGreen(pixel) - qGreen(expected)) <= tolerance
        && qAbs(qBlue(pixel) - qBlue(expected)) <= tolerance;
}

int pixelsNear(const QImage& image, QRgb expected)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isNear(image.pixel(x, y), expected) ? 1 : 0;
    }
    return count;
}

// Runs action from the event loop every POLL_MS until it returns true (or a minute has
// gone, so that a missing window fails the test instead of hanging it).
template <typename Action> void pollUntilDone(Action action)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, action]() mutable {
        if (action() || clock->elapsed() > GIVE_UP_MS) {
            delete clock;
            timer->deleteLater();
            timer->stop();
        }
    });
    timer->start(POLL_MS);
}

struct ShownWindow
{
    bool seen = false;
    bool fullScreen = false;
    QString title;
};

// Presses Close on the report window as soon as it is shown.
void closeReportWindowWhenShown(ShownWindow* shown)
{
    pollUntilDone([shown] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* button = window->findChild<QPushButton*>();
            if (!window->isVisible() || !button)
                continue;
            shown->seen = true;
            shown->fullScreen = window->isFullScreen();
            shown->title = window->windowTitle();
            button->click();
            return true;
        }
        return false;
    });
}

// Answers the modal print dialog as a person would: with the printer writing outputFile
// (typed into the dialog's file field, which accepting applies to the printer), or
// cancelled.
void answerPrintDialog(bool accept, const QString& outputFile)
{
    pollUntilDone([accept, outputFile] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        if (!accept) {
            dialog->reject();
            return true;
        }
        dialog->printer()->setOutputFileName(outputFile);
        if (auto* fileField = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            fileField->setText(outputFile);
        dialog->accept();
        return true;
    });
}

bool reportWindowRemains()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
        [](const QWidget* window) { return window->windowTitle() == WINDOW_TITLE; });
}

class RenderReportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(STAGING);
        ASSERT_TRUE(directory.isValid());
    }
    void TearDown() override { QFile::remove(STAGING); }

    QString path(const QString& name) const { return directory.filePath(name); }

    QTemporaryDir directory;
};

// ---- PDF output -------------------------------------------------------------------------

TEST_F(RenderReportTest, PdfIsOneUsLetterPortraitPageWithThePageText)
{
    WriteFile(STAGING, pageWith("<h1>End-face report</h1><p>Fibre 9/125 \xc2\xb5m</p>"));
    ASSERT_EQ(0, render(path("report"), PDF));

    const PdfProbe pdf(path("report.pdf"));
    EXPECT_EQ(LETTER_PORTRAIT, pdf.PageSize());
    EXPECT_EQ("0", pdf.PageRotation());
    EXPECT_EQ(1, pdf.Pages());
    EXPECT_TRUE(pdf.Text().contains("End-face report")) << pdf.Text().toStdString();
    EXPECT_TRUE(pdf.Text().contains(QString::fromUtf8("9/125 \xc2\xb5m")));
}

TEST_F(RenderReportTest, PdfShowsTheBadgeWithItsStyle)
{
    WriteFile(STAGING, pageWith("<p><span class=\"Pass\">PASS</span></p>"));
    ASSERT_EQ(0, render(path("report"), PDF));

    const PdfProbe pdf(path("report.pdf"));
    EXPECT_TRUE(pdf.Text().contains("PASS"));
    // The badge's pale green background covers a sizeable area of the page.
    EXPECT_GT(pixelsNear(pdf.FirstPage(60), qRgb(0xd4, 0xf0, 0xdc)), 500);
}

TEST_F(RenderReportTest, PdfEmbedsBothImagesAsTheyAre)
{
    writePng(path("low.png"), Qt::red, QSize(64, 48));
    writePng(path("high.png"), Qt::blue, QSize(40, 40));
    WriteFile(STAGING, pageWith(imageTag(path("low.png")) + imageTag(path("high.png"))));
    ASSERT_EQ(0, render(path("report"), PDF));

    const PdfProbe pdf(path("report.pdf"));
    const QStringList rows = pdf.ImageRows();
    ASSERT_EQ(2, rows.size()) << rows.join('\n').toStdString();
    EXPECT_EQ(
        (QStringList { "64", "48", "rgb" }), rows[0].split(' ', Qt::SkipEmptyParts).mid(3, 3));
    EXPECT_EQ(
        (QStringList { "40", "40", "rgb" }), rows[1].split(' ', Qt::SkipEmptyParts).mid(3, 3));
}

// The next inspection's image is written to the same path as the last one.
TEST_F(RenderReportTest, ImageRewrittenBetweenTwoReportsShowsTheNewImage)
{
    const QString image = path("lowmag.png");
    writePng(image, Qt::red, QSize(32, 32));
    WriteFile(STAGING, pageWith(imageTag(image)));
    ASSERT_EQ(0, render(path("first"), PDF));
    writePng(image, Qt::green, QSize(32, 32));
    ASSERT_EQ(0, render(path("second"), PDF));

    const QList<QImage> first = PdfProbe(path("first.pdf")).Images();
    const QList<QImage> second = PdfProbe(path("second.pdf")).Images();
    ASSERT_EQ(1, first.size());
    ASSERT_EQ(1, second.size());
    EXPECT_TRUE(isNear(first[0].pixel(16, 16), qRgb(255, 0, 0)));
    EXPECT_TRUE(isNear(second[0].pixel(16, 16), qRgb(0, 255, 0)));
}

TEST_F(RenderReportTest, ScriptThatNeverEndsDoesNotHoldTheHost)
{
    WriteFile(
        STAGING, pageWith("<p>before</p><script>while (true) {}</script><p>after the script</p>"));
    ASSERT_EQ(0, render(path("report"), PDF));

    EXPECT_TRUE(PdfProbe(path("report.pdf")).Text().contains("after the script"));
}

TEST_F(RenderReportTest, SuccessLeavesOnlyTheReportWithTheUsualMode)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    const mode_t previousMask = umask(022);
    umaskCalls = 0;
    const int result = render(path("report"), PDF);
    EXPECT_EQ(0, umaskCalls);
    umask(previousMask);
    ASSERT_EQ(0, result);

    EXPECT_EQ(QStringList { "report.pdf" }, FilesIn(directory.path()));
    struct stat status
    {
    };
    ASSERT_EQ(0, stat(QFile::encodeName(path("report.pdf")).constData(), &status));
    EXPECT_EQ(0644u, status.st_mode & 0777u);
}

// ---- PDF file names ---------------------------------------------------------------------

// The longest name a file system takes: 255 bytes.
const std::string LONGEST = std::string(251, 'r') + ".pdf";
const char* const LONGEST_NAME = LONGEST.c_str();

struct NameCase
{
    const char* given;
    const char* written;
};

class PdfFileName : public RenderReportTest, public testing::WithParamInterface<NameCase>
{
};

TEST_P(PdfFileName, GetsPdfAppendedUnlessItEndsWithIt)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    ASSERT_EQ(0, render(path(GetParam().given), PDF));

    EXPECT_EQ(QStringList { GetParam().written }, FilesIn(directory.path()));
}

INSTANTIATE_TEST_SUITE_P(Names, PdfFileName,
    testing::Values(NameCase { "report", "report.pdf" }, NameCase { "report.pdf", "report.pdf" },
        NameCase { "report.PDF", "report.PDF.pdf" }, NameCase { "report.Pdf", "report.Pdf.pdf" },
        NameCase { "report.pdf.txt", "report.pdf.txt.pdf" },
        NameCase { LONGEST_NAME, LONGEST_NAME }),
    [](const testing::TestParamInfo<NameCase>& info) {
        const QString given = QString::fromLatin1(info.param.given);
        return given.size() > 40 ? std::string("longest")
                                 : QString(given).replace('.', '_').toStdString();
    });

TEST_F(RenderReportTest, EmptyNameWritesDotPdfInTheWorkingDirectory)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(directory.path()));
    const int result = render(QString(), PDF);
    QDir::setCurrent(previous);
    ASSERT_EQ(0, result);

    EXPECT_EQ(QStringList { ".pdf" }, FilesIn(directory.path()));
}

// ---- PDF files that cannot be written ---------------------------------------------------

TEST_F(RenderReportTest, PdfInAMissingDirectoryFailsAndWritesNothing)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    std::string log;
    EXPECT_EQ(-1, CapturingStderr(log, [&] { return render(path("missing/report"), PDF); }));

    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
    EXPECT_NE(std::string::npos, log.find("[ERROR  ]")) << log;
}

TEST_F(RenderReportTest, PdfWhereNoFileCanBeCreatedFails)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    EXPECT_EQ(-1, render(QStringLiteral("/proc/report"), PDF));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/proc/report.pdf")));
}

// A full disk, as the file size limit makes it: writes past the limit fail.
TEST_F(RenderReportTest, PdfThatDoesNotFitFailsAndKeepsTheEarlierFile)
{
    WriteFile(STAGING, pageWith("<h1>A page larger than the limit</h1><p>text</p>"));
    WriteFile(path("report.pdf"), "the earlier report");
    rlimit previous {};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &previous));
    const rlimit small { 2048, previous.rlim_max };
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    std::string log;
    const int result = CapturingStderr(log, [&] { return render(path("report"), PDF); });
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(-1, result);
    EXPECT_EQ("the earlier report", ReadFile(path("report.pdf")));
    EXPECT_EQ(QStringList { "report.pdf" }, FilesIn(directory.path()));
    EXPECT_NE(std::string::npos, log.find("could not be written completely")) << log;
}

TEST(PdfReportFile, CompletenessFollowsTheCrossReferenceOffset)
{
    QTemporaryDir directory;
    const QByteArray body = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n";
    const QByteArray xref = "xref\n0 1\n0000000000 65535 f \ntrailer\n<< /Size 1 >>\n";
    const QByteArray trailer = "startxref\n" + QByteArray::number(body.size()) + "\n%%EOF\n";
    WriteFile(directory.filePath("whole.pdf"), body + xref + trailer);
    WriteFile(directory.filePath("cut.pdf"), (body + xref + trailer).left(60));
    WriteFile(directory.filePath("shifted.pdf"), body.left(20) + xref + trailer);

    EXPECT_TRUE(CPdfReportFile::IsComplete(directory.filePath("whole.pdf")));
    EXPECT_FALSE(CPdfReportFile::IsComplete(directory.filePath("cut.pdf")));
    EXPECT_FALSE(CPdfReportFile::IsComplete(directory.filePath("shifted.pdf")));
    EXPECT_FALSE(CPdfReportFile::IsComplete(directory.filePath("missing.pdf")));
}

// ---- Format codes and the staging page --------------------------------------------------

class EveryFormatCode : public RenderReportTest, public testing::WithParamInterface<int>
{
};

TEST_P(EveryFormatCode, WithoutStagingPageGivesMinusOneAndNothingElse)
{
    std::string log;
    EXPECT_EQ(-1, CapturingStderr(log, [&] { return render(path("report"), GetParam()); }));

    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
    EXPECT_FALSE(reportWindowRemains());
    EXPECT_NE(
        std::string::npos, log.find("OutputReport::File /tmp/DomReportGenerator.htm not exists"))
        << log;
}

INSTANTIATE_TEST_SUITE_P(Codes, EveryFormatCode, testing::Values(0, 1, 2, 3, 4, -1),
    [](const testing::TestParamInfo<int>& info) {
        return info.param < 0 ? "minus" + std::to_string(-info.param) : std::to_string(info.param);
    });

class CodeWithoutOutput : public RenderReportTest, public testing::WithParamInterface<int>
{
};

TEST_P(CodeWithoutOutput, LoadsThePageAndProducesNothing)
{
    WriteFile(STAGING, pageWith("<p>text</p>"));
    std::string log;
    EXPECT_EQ(0, CapturingStderr(log, [&] { return render(path("report"), GetParam()); }));

    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
    EXPECT_EQ(GetParam() == POSTSCRIPT,
        log.find("POSTSCRIPT format not supported by Qt5") != std::string::npos)
        << log;
}

INSTANTIATE_TEST_SUITE_P(Codes, CodeWithoutOutput, testing::Values(POSTSCRIPT, 4, -1),
    [](const testing::TestParamInfo<int>& info) {
        return info.param < 0 ? "minus" + std::to_string(-info.param) : std::to_string(info.param);
    });

// ---- What the page may load --------------------------------------------------------------

struct HostilePage
{
    const char* name;
    const char* body; // SECRET stands for the path of a file the page must not show
    const char* logged;
};

class PageLoadsOnlyItself : public RenderReportTest, public testing::WithParamInterface<HostilePage>
{
};

TEST_P(PageLoadsOnlyItself, RefusesOtherDocumentsAndShowsTheRest)
{
    WriteFile(path("secret.txt"), "SECRET TEXT");
    ASSERT_EQ(0, mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600));
    const QByteArray body =
        QByteArray(GetParam().body).replace("SECRET", (directory.path() + "/").toUtf8());
    WriteFile(STAGING, pageWith("<p>visible</p>" + body));
    std::string log;
    ASSERT_EQ(0, CapturingStderr(log, [&] { return render(path("report"), PDF); }));

    const QString text = PdfProbe(path("report.pdf")).Text();
    EXPECT_TRUE(text.contains("visible"));
    EXPECT_FALSE(text.contains("SECRET TEXT"));
    EXPECT_NE(std::string::npos, log.find(GetParam().logged)) << log;
}

INSTANTIATE_TEST_SUITE_P(Pages, PageLoadsOnlyItself,
    testing::Values(HostilePage { "iframe", "<iframe src=\"file://SECRETsecret.txt\"></iframe>",
                        "the report page is the only document loaded" },
        HostilePage { "object", "<object data=\"SECRETsecret.txt\" type=\"text/plain\"></object>",
            "the report page is the only document loaded" },
        HostilePage { "embed", "<embed src=\"SECRETsecret.txt\">",
            "the report page is the only document loaded" },
        HostilePage { "refresh",
            "<meta http-equiv=\"refresh\" content=\"0; url=file://SECRETsecret.txt\">",
            "the report page is the only document loaded" },
        HostilePage { "hostInFileUrl", "<img src=\"//host/x.png\">",
            "a file URL with a host names another machine" },
        HostilePage { "fifoImage", "<img src=\"SECRETfifo.png\">", "a FIFO owned by" }),
    [](const testing::TestParamInfo<HostilePage>& info) { return info.param.name; });

class UnloadableStagingPage : public RenderReportTest,
                              public testing::WithParamInterface<const char*>
{
};

TEST_P(UnloadableStagingPage, IsNeverPrinted)
{
    const QByteArray staging = QFile::encodeName(STAGING);
    ASSERT_EQ(0,
        GetParam() == std::string("fifo") ? mkfifo(staging.constData(), 0600)
                                          : mkdir(staging.constData(), 0700));
    std::string log;
    const int result = CapturingStderr(log, [&] { return render(path("report"), PDF); });
    rmdir(staging.constData());
    unlink(staging.constData());

    EXPECT_EQ(-1, result);
    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
    EXPECT_NE(std::string::npos, log.find("could not be loaded: nothing is output")) << log;
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnloadableStagingPage, testing::Values("directory", "fifo"));

// ---- Printer ----------------------------------------------------------------------------

TEST_F(RenderReportTest, AcceptedPrintDialogPrintsOnTheChosenPrinter)
{
    WriteFile(STAGING, pageWith("<p>printed page</p>"));
    answerPrintDialog(true, path("printer.pdf"));
    ASSERT_EQ(0, render(path("report"), PRINTER));

    EXPECT_EQ(QStringList { "printer.pdf" }, FilesIn(directory.path()));
    EXPECT_TRUE(PdfProbe(path("printer.pdf")).Text().contains("printed page"));
}

TEST_F(RenderReportTest, PrinterThatCannotPrintGivesMinusOne)
{
    WriteFile(STAGING, pageWith("<p>printed page</p>"));
    answerPrintDialog(true, directory.path());
    std::string log;
    EXPECT_EQ(-1, CapturingStderr(log, [&] { return render(path("report"), PRINTER); }));

    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
    EXPECT_NE(std::string::npos, log.find("The printer reported an error")) << log;
}

TEST_F(RenderReportTest, CancelledPrintDialogPrintsNothing)
{
    WriteFile(STAGING, pageWith("<p>printed page</p>"));
    answerPrintDialog(false, QString());
    EXPECT_EQ(0, render(path("report"), PRINTER));

    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
}

// ---- Screen -----------------------------------------------------------------------------

TEST_F(RenderReportTest, ScreenShowsTheReportFullScreenUntilCloseIsPressed)
{
    WriteFile(STAGING, pageWith("<p>on screen</p>"));
    ShownWindow shown;
    closeReportWindowWhenShown(&shown);
    EXPECT_EQ(0, render(path("report"), SCREEN));

    EXPECT_TRUE(shown.seen);
    EXPECT_TRUE(shown.fullScreen);
    EXPECT_EQ(WINDOW_TITLE, shown.title);
    EXPECT_FALSE(reportWindowRemains());
    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
}

// ---- Network access of the page ---------------------------------------------------------

TEST_F(RenderReportTest, PageRequestsOverTheNetworkAreRefused)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray url = "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/x.png";
    WriteFile(STAGING, pageWith("<img src=\"" + url + "\"><p>text</p>"));
    std::string log;
    ASSERT_EQ(0, CapturingStderr(log, [&] { return render(path("report"), PDF); }));

    EXPECT_FALSE(server.hasPendingConnections() || server.waitForNewConnection(200));
    EXPECT_NE(std::string::npos, log.find("Refused request for \"" + url.toStdString() + "\""))
        << log;
    EXPECT_TRUE(PdfProbe(path("report.pdf")).Text().contains("text"));
}

struct RequestCase
{
    const char* name;
    const char* url;
    bool refusedAtOnce;
};

class LocalNetworkAccess : public testing::TestWithParam<RequestCase>
{
};

TEST_P(LocalNetworkAccess, RefusesAllButLocalFilesAndInlineData)
{
    const QNetworkRequest request { QUrl(QString::fromLatin1(GetParam().url)) };
    EXPECT_EQ(GetParam().refusedAtOnce,
        !CLocalNetworkAccessManager::Refusal(QNetworkAccessManager::GetOperation, request)
             .isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Urls, LocalNetworkAccess,
    testing::Values(RequestCase { "file", "file:///tmp/lowmag.png", false },
        RequestCase { "data", "data:image/png;base64,iVBORw0KGgo=", false },
        RequestCase { "fileWithHost", "file://host/x.png", true },
        RequestCase { "http", "http://127.0.0.1:9/x.png", true },
        RequestCase { "https", "https://example.com/", true },
        RequestCase { "ftp", "ftp://127.0.0.1/x.png", true },
        RequestCase { "qrc", "qrc:/x.png", true }, RequestCase { "relative", "lowmag.png", true }),
    [](const testing::TestParamInfo<RequestCase>& info) { return info.param.name; });

QNetworkReply* finishedReply(QNetworkAccessManager& manager, const QUrl& url)
{
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

TEST(LocalNetworkAccessManager, RefusedReplyFailsWithoutConnecting)
{
    CRenderReport application(QString(), nullptr);
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    CLocalNetworkAccessManager manager(nullptr);

    QNetworkReply* reply = finishedReply(
        manager, QUrl("http://127.0.0.1:" + QString::number(server.serverPort()) + "/x.png"));
    EXPECT_EQ(QNetworkReply::ContentAccessDenied, reply->error());
    EXPECT_TRUE(reply->readAll().isEmpty());
    EXPECT_FALSE(server.hasPendingConnections() || server.waitForNewConnection(200));
}

TEST(LocalNetworkAccessManager, InlineDataIsRead)
{
    CRenderReport application(QString(), nullptr);
    CLocalNetworkAccessManager manager(nullptr);

    QNetworkReply* reply = finishedReply(manager, QUrl("data:text/plain,inline%20value"));
    EXPECT_EQ(QNetworkReply::NoError, reply->error());
    EXPECT_EQ("inline value", reply->readAll());
}

// ---- Hosts, each in a process of its own ------------------------------------------------

QString expectedPlatform()
{
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    return chosen.isEmpty() ? QStringLiteral("xcb") : chosen;
}

struct HostCase
{
    const char* name;
    const char* test;
    const char* display; // null: the test's own environment
};

class RenderHost : public testing::TestWithParam<HostCase>
{
};

// Each host runs RenderHostChild.DISABLED_<test> in a process of its own.
TEST_P(RenderHost, GetsWhatItsKindOfHostIsPromised)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (GetParam().display) {
        environment = EnvironmentWithoutDisplay();
        if (*GetParam().display)
            environment.insert(QStringLiteral("DISPLAY"), GetParam().display);
    }
    const ChildOutcome child =
        RunChildTest(QStringLiteral("RenderHostChild.DISABLED_") + GetParam().test, environment);
    EXPECT_TRUE(child.Passed()) << child.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Hosts, RenderHost,
    testing::Values(HostCase { "WithoutApplication", "WithoutApplication", nullptr },
        HostCase { "WithItsOwnApplication", "WithItsOwnApplication", nullptr },
        HostCase { "WithOnlyACoreApplication", "WithOnlyACoreApplication", nullptr },
        HostCase { "RunningItsOwnLoop", "RunningItsOwnLoop", nullptr },
        HostCase { "WithoutDisplay", "WithoutDisplay", "" },
        HostCase { "WithADisplayThatCannotBeOpened", "WithoutDisplay", ":4711" }),
    [](const testing::TestParamInfo<HostCase>& info) { return info.param.name; });

TEST_F(RenderReportTest, HostThatUnloadsTheLibraryAndExitsDoesNotCrash)
{
    WriteFile(path("page.htm"), pageWith("<p>loaded twice</p>"));
    const ChildOutcome host = RunProgram(QStringLiteral(RG_DLOPEN_HOST),
        { RG_LIBRARY, path("page.htm"), path("first.pdf"), path("second.pdf") },
        QProcessEnvironment::systemEnvironment());

    EXPECT_TRUE(host.exitedNormally) << host.output.toStdString();
    EXPECT_EQ(0, host.exitCode) << host.output.toStdString();
    EXPECT_TRUE(PdfProbe(path("first.pdf")).Text().contains("loaded twice"));
    EXPECT_TRUE(PdfProbe(path("second.pdf")).Text().contains("loaded twice"));
}

// The child tests: run only through RunChildTest, each in a fresh process.

class RenderHostChild : public testing::Test
{
protected:
    void TearDown() override { QFile::remove(STAGING); }

    // A host's own application keeps referring to its arguments.
    int argumentCount = 1;
    char hostName[5] = "host";
    char* arguments[2] = { hostName, nullptr };
    QTemporaryDir directory;
};

TEST_F(RenderHostChild, DISABLED_WithoutApplication)
{
    ASSERT_EQ(nullptr, QCoreApplication::instance());
    WriteFile(STAGING, pageWith("<p>first report</p>"));

    CRenderReport first(directory.filePath("first"), nullptr);
    QCoreApplication* created = QCoreApplication::instance();
    ASSERT_NE(nullptr, qobject_cast<QApplication*>(created));
    EXPECT_EQ(QStringList { "ReportGenerator" }, QCoreApplication::arguments());
    EXPECT_EQ("ReportGenerator", QCoreApplication::applicationName());
    EXPECT_EQ(expectedPlatform(), QGuiApplication::platformName());
    EXPECT_EQ(0, first.OutputReport(PDF));
    EXPECT_TRUE(CPdfReportFile::IsComplete(directory.filePath("first.pdf")));

    // No loop of the host runs here: the window has a local loop of its own.
    CRenderReport second(directory.filePath("second"), nullptr);
    EXPECT_EQ(created, QCoreApplication::instance());
    ShownWindow shown;
    closeReportWindowWhenShown(&shown);
    EXPECT_EQ(0, second.OutputReport(SCREEN));
    EXPECT_TRUE(shown.seen);
    // The process then ends with the application object in place.
}

TEST_F(RenderHostChild, DISABLED_WithItsOwnApplication)
{
    QApplication host(argumentCount, arguments);
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    WriteFile(STAGING, pageWith("<p>host report</p>"));

    CRenderReport renderer(directory.filePath("report"), nullptr);
    EXPECT_EQ(&host, QCoreApplication::instance());
    EXPECT_EQ(0, renderer.OutputReport(PDF));
    EXPECT_EQ(libraryPaths, QCoreApplication::libraryPaths());
    EXPECT_EQ("host", QCoreApplication::applicationName());
    EXPECT_TRUE(PdfProbe(directory.filePath("report.pdf")).Text().contains("host report"));
}

TEST_F(RenderHostChild, DISABLED_WithOnlyACoreApplication)
{
    QCoreApplication host(argumentCount, arguments);
    WriteFile(STAGING, pageWith("<p>text</p>"));

    // Any widget here would abort the process.
    for (int format : { PDF, PRINTER, SCREEN }) {
        CRenderReport renderer(directory.filePath("report"), nullptr);
        EXPECT_EQ(-1, renderer.OutputReport(format)) << format;
    }
    EXPECT_EQ(&host, QCoreApplication::instance());
    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
}

TEST_F(RenderHostChild, DISABLED_RunningItsOwnLoop)
{
    QApplication host(argumentCount, arguments);
    WriteFile(STAGING, pageWith("<p>text</p>"));

    int result = 1;
    bool hostLoopWentOn = false;
    ShownWindow shown;
    QTimer::singleShot(0, [&] {
        closeReportWindowWhenShown(&shown);
        CRenderReport renderer(directory.filePath("report"), nullptr);
        result = renderer.OutputReport(SCREEN);
        QTimer::singleShot(300, [&] {
            hostLoopWentOn = true;
            QCoreApplication::exit(7);
        });
    });
    EXPECT_EQ(7, host.exec());

    EXPECT_EQ(0, result);
    EXPECT_TRUE(shown.seen);
    EXPECT_TRUE(shown.fullScreen);
    EXPECT_EQ(WINDOW_TITLE, shown.title);
    EXPECT_TRUE(hostLoopWentOn);
}

// Without a display, or with one that cannot be opened, PDF output works on the offscreen
// platform and the environment stays as it was.
TEST_F(RenderHostChild, DISABLED_WithoutDisplay)
{
    const QByteArray display = qgetenv("DISPLAY");
    ASSERT_TRUE(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"));
    WriteFile(STAGING, pageWith("<p>headless report</p>"));

    CRenderReport pdf(directory.filePath("report"), nullptr);
    EXPECT_EQ(0, pdf.OutputReport(PDF));
    EXPECT_EQ("offscreen", QGuiApplication::platformName());
    EXPECT_TRUE(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"));
    EXPECT_EQ(display, qgetenv("DISPLAY"));
    EXPECT_TRUE(PdfProbe(directory.filePath("report.pdf")).Text().contains("headless report"));

    // Nobody could close a window or answer a dialog: both return at once.
    for (int format : { SCREEN, PRINTER }) {
        CRenderReport interactive(directory.filePath("other"), nullptr);
        EXPECT_EQ(-1, interactive.OutputReport(format)) << format;
    }
    EXPECT_FALSE(reportWindowRemains());
}

} // namespace
