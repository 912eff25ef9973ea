// The exported render calls: the copy of a finished page onto the staging page, the
// one-call report with its output name, and the bundled example report end to end.
#include <ReportGenerator/ReportGenerator.h>

#include "Files.h"
#include "PdfProbe.h"
#include "RenderTestFiles.h"
#include "report/StagingPage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace renderTest;

const QString STAGING = QStringLiteral(STAGING_PAGE_PATH);
const QString LETTER_PORTRAIT = QStringLiteral("612 x 792 pts (letter)");
constexpr int PDF = 0;
const char* const EMPTY_CUSTOMER = "<CustomerInfo/>";
const char* const EMPTY_RESULTS = "<CheckerResults/>";

// A page with bytes that no text conversion would keep: a zero byte, bytes above 127
// that are no UTF-8, and a carriage return.
QByteArray pageBytes()
{
    return QByteArray("<html><body><p>copied page</p><!-- \xff\xfe\x80 \r\n") + '\0'
        + "--></body></html>\n";
}

class RenderEntryPointsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(STAGING);
        ASSERT_TRUE(directory.isValid());
        previousDirectory = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(directory.path()));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDirectory);
        QFile::remove(STAGING);
    }

    QString path(const QString& name) const { return directory.filePath(name); }
    QByteArray pathBytes(const QString& name) const { return QFile::encodeName(path(name)); }

    // A template without markers: the page is written whatever the XML holds.
    void writeMinimalTemplate()
    {
        WriteFile(path("minimal.htm"), "<html><body><p>minimal page</p></body></html>\n");
    }
    int createMinimalReport(const char* output)
    {
        return CreateReport(pathBytes("minimal.htm").constData(), "ENGLISH", EMPTY_RESULTS,
            EMPTY_CUSTOMER, "low.png", "high.png", PDF, output);
    }

    QTemporaryDir directory;
    QString previousDirectory;
};

// ---- RenderReport -----------------------------------------------------------------------

TEST_F(RenderEntryPointsTest, RenderReportWithoutStagingPageGivesMinusOne)
{
    EXPECT_EQ(-1, RenderReport(pathBytes("report").constData(), PDF));
    EXPECT_TRUE(FilesIn(directory.path()).isEmpty());
}

TEST_F(RenderEntryPointsTest, RenderReportWithNullNameWritesDotPdfInTheWorkingDirectory)
{
    WriteFile(STAGING, "<html><body><p>text</p></body></html>");
    EXPECT_EQ(0, RenderReport(nullptr, PDF));
    EXPECT_EQ(QStringList { ".pdf" }, FilesIn(directory.path()));
}

// ---- GenerateReportHtml -----------------------------------------------------------------

struct SourceName
{
    const char* test;
    const char* name;
};

class GenerateReportHtmlSource : public RenderEntryPointsTest,
                                 public testing::WithParamInterface<SourceName>
{
};

// The name is a name, whatever the shell would make of it: nothing but the copy runs.
TEST_P(GenerateReportHtmlSource, IsCopiedByteForByteAndRendered)
{
    const QString source = QFile::decodeName(GetParam().name);
    WriteFile(path(source), pageBytes());

    EXPECT_EQ(0, GenerateReportHtml(GetParam().name, pathBytes("report").constData(), PDF));
    EXPECT_EQ(pageBytes(), ReadFile(STAGING));
    QStringList expected { source, "report.pdf" };
    QStringList written = FilesIn(directory.path());
    expected.sort();
    written.sort();
    EXPECT_EQ(expected, written);
    EXPECT_TRUE(PdfProbe(path("report.pdf")).Text().contains("copied page"));
}

INSTANTIATE_TEST_SUITE_P(Names, GenerateReportHtmlSource,
    testing::Values(SourceName { "plain", "page.htm" }, SourceName { "space", "my page.htm" },
        SourceName { "doubleQuote", "a\"b.htm" },
        SourceName { "quoteThenCommand", "x\"; touch injected; \".htm" },
        SourceName { "dollar", "$HOME.htm" },
        SourceName { "substitution", "$(touch injected).htm" },
        SourceName { "backquotes", "`touch injected`.htm" },
        SourceName { "backslash", "a\\\"b\\.htm" }, SourceName { "singleQuote", "it's.htm" }),
    [](const testing::TestParamInfo<SourceName>& info) { return info.param.test; });

TEST_F(RenderEntryPointsTest, SourceNameLongerThanTheOldCommandBufferIsCopied)
{
    QString deep = directory.path();
    while (deep.size() < 600) {
        deep += '/' + QString(100, 'd');
        ASSERT_TRUE(QDir().mkpath(deep));
    }
    const QString source = deep + "/page.htm";
    WriteFile(source, pageBytes());

    EXPECT_EQ(0,
        GenerateReportHtml(
            QFile::encodeName(source).constData(), pathBytes("report").constData(), PDF));
    EXPECT_EQ(pageBytes(), ReadFile(STAGING));
}

TEST_F(RenderEntryPointsTest, SourceThatIsTheStagingPageItselfStaysWhole)
{
    WriteFile(STAGING, pageBytes());
    EXPECT_EQ(0, GenerateReportHtml(STAGING_PAGE_PATH, pathBytes("report").constData(), PDF));
    EXPECT_EQ(pageBytes(), ReadFile(STAGING));
}

// Source names are bytes: a Latin-1 name is no UTF-8 and must still be found.
TEST_F(RenderEntryPointsTest, SourceNameThatIsNoUtf8IsCopied)
{
    const std::string source = directory.path().toStdString() + "/r\xe9sum\xe9.htm";
    ASSERT_TRUE(files::Write(source, pageBytes().toStdString()));

    EXPECT_EQ(0, GenerateReportHtml(source.c_str(), pathBytes("report").constData(), PDF));
    EXPECT_EQ(pageBytes(), ReadFile(STAGING));
    unlink(source.c_str());
}

TEST_F(RenderEntryPointsTest, LinkAtTheStagingPageIsReplacedAndItsTargetKept)
{
    WriteFile(path("victim"), "precious");
    ASSERT_EQ(0, chmod(pathBytes("victim").constData(), 0600));
    ASSERT_EQ(0, symlink(pathBytes("victim").constData(), STAGING_PAGE_PATH));
    WriteFile(path("page.htm"), pageBytes());

    EXPECT_EQ(0, GenerateReportHtml(pathBytes("page.htm").constData(), nullptr, 4));
    EXPECT_EQ("precious", ReadFile(path("victim")));
    EXPECT_EQ(pageBytes(), ReadFile(STAGING));
    EXPECT_FALSE(QFileInfo(STAGING).isSymLink());
}

TEST_F(RenderEntryPointsTest, DirectoryAtTheStagingPageIsNamedAndKept)
{
    ASSERT_EQ(0, mkdir(STAGING_PAGE_PATH, 0700));
    WriteFile(path("page.htm"), pageBytes());
    std::string log;
    const int result = CapturingStderr(
        log, [&] { return GenerateReportHtml(pathBytes("page.htm").constData(), nullptr, PDF); });
    const bool kept = QFileInfo(STAGING).isDir();
    rmdir(STAGING_PAGE_PATH);

    EXPECT_EQ(-1, result);
    EXPECT_TRUE(kept);
    EXPECT_NE(std::string::npos,
        log.find("Fail to write file /tmp/DomReportGenerator.htm: a directory owned by root "
                 "(uid 0), mode 0700"))
        << log;
}

// A failed copy must never let an earlier report's page go out in place of this one.
struct FailedCopy
{
    const char* test;
    const char* source; // relative to the test directory; null for a NULL argument
    const char* logged;
};

class GenerateReportHtmlFailedCopy : public RenderEntryPointsTest,
                                     public testing::WithParamInterface<FailedCopy>
{
};

TEST_P(GenerateReportHtmlFailedCopy, RemovesTheEarlierPageAndGivesMinusOne)
{
    ASSERT_TRUE(QDir().mkpath(path("a-directory")));
    WriteFile(STAGING, "<html><body><p>earlier report</p></body></html>");
    const QByteArray source = GetParam().source ? pathBytes(GetParam().source) : QByteArray();

    std::string log;
    const int result = CapturingStderr(log, [&] {
        return GenerateReportHtml(
            GetParam().source ? source.constData() : nullptr, pathBytes("report").constData(), PDF);
    });

    EXPECT_EQ(-1, result);
    EXPECT_FALSE(QFile::exists(STAGING));
    EXPECT_EQ(QStringList { "a-directory" },
        QDir(directory.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot));
    EXPECT_NE(std::string::npos, log.find("[ERROR  ]")) << log;
    EXPECT_NE(std::string::npos, log.find(GetParam().logged)) << log;
}

INSTANTIATE_TEST_SUITE_P(Sources, GenerateReportHtmlFailedCopy,
    testing::Values(
        FailedCopy { "missing", "missing.htm", "GenerateReportHtml::<ERROR 2>::Fail to read" },
        FailedCopy { "directory", "a-directory", ": a directory owned by" },
        FailedCopy { "null", nullptr, "GenerateReportHtml::HTML file name is NULL" }),
    [](const testing::TestParamInfo<FailedCopy>& info) { return info.param.test; });

// ---- CreateReport -----------------------------------------------------------------------

TEST_F(RenderEntryPointsTest, CreateReportWithNullOutputNameBuildsNoPage)
{
    writeMinimalTemplate();
    WriteFile(STAGING, "earlier page");

    EXPECT_EQ(1, createMinimalReport(nullptr));
    EXPECT_EQ("earlier page", ReadFile(STAGING));
}

TEST_F(RenderEntryPointsTest, CreateReportWithNullXmlRendersNothing)
{
    writeMinimalTemplate();
    WriteFile(STAGING, "earlier page");

    EXPECT_EQ(1,
        CreateReport(pathBytes("minimal.htm").constData(), "ENGLISH", nullptr, EMPTY_CUSTOMER,
            "low.png", "high.png", PDF, "report"));
    EXPECT_EQ("earlier page", ReadFile(STAGING));
    EXPECT_EQ(QStringList { "minimal.htm" }, FilesIn(directory.path()));
}

struct OutputName
{
    const char* test;
    const char* given;
    const char* written; // relative to the working directory
};

class CreateReportOutputName : public RenderEntryPointsTest,
                               public testing::WithParamInterface<OutputName>
{
};

TEST_P(CreateReportOutputName, IsResolvedAgainstTheWorkingDirectory)
{
    writeMinimalTemplate();
    ASSERT_TRUE(QDir().mkpath(path("sub")));

    ASSERT_EQ(0, createMinimalReport(GetParam().given));
    EXPECT_TRUE(PdfProbe(path(GetParam().written)).Text().contains("minimal page"));
}

INSTANTIATE_TEST_SUITE_P(Names, CreateReportOutputName,
    testing::Values(OutputName { "bare", "out", "out.pdf" },
        OutputName { "bareWithExtension", "out.pdf", "out.pdf" },
        OutputName { "dotSlash", "./dot.pdf", "dot.pdf" },
        OutputName { "relativeDirectory", "sub/rel", "sub/rel.pdf" }),
    [](const testing::TestParamInfo<OutputName>& info) { return info.param.test; });

TEST_F(RenderEntryPointsTest, CreateReportKeepsAnAbsoluteOutputName)
{
    writeMinimalTemplate();
    ASSERT_EQ(0, createMinimalReport(pathBytes("absolute").constData()));
    EXPECT_EQ(LETTER_PORTRAIT, PdfProbe(path("absolute.pdf")).PageSize());
}

// ---- The bundled example, end to end ----------------------------------------------------

#ifdef RG_EXAMPLE_DIR

struct ExampleLanguage
{
    const char* language;
    QStringList texts; // translated labels, badges and values
    const char* font; // a font that must carry the page's script
};

class BundledExample : public RenderEntryPointsTest,
                       public testing::WithParamInterface<ExampleLanguage>
{
};

QByteArray exampleFile(const char* name)
{
    return ReadFile(QStringLiteral(RG_EXAMPLE_DIR) + '/' + name);
}

TEST_P(BundledExample, IsAUsLetterReportWithEveryLabelValueBadgeAndImage)
{
    SetTextDomain(RG_EXAMPLE_PACKAGE, RG_EXAMPLE_LOCALE_DIR);
    ASSERT_EQ(0,
        CreateReport(RG_EXAMPLE_DIR "/report/EndFaceReport.htm", GetParam().language,
            exampleFile("data/CheckerResults.xml").constData(),
            exampleFile("data/CustomerInfo.xml").constData(), RG_EXAMPLE_IMAGE_DIR "/lowmag.png",
            RG_EXAMPLE_IMAGE_DIR "/highmag.png", PDF, "example"));

    const PdfProbe pdf(path("example.pdf"));
    EXPECT_EQ(LETTER_PORTRAIT, pdf.PageSize());
    EXPECT_EQ(1, pdf.Pages());
    const QString text = pdf.Text();
    for (const QString& expected : GetParam().texts)
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.toStdString();
    EXPECT_EQ(2, pdf.ImageRows().size()) << pdf.ImageRows().join('\n').toStdString();
    EXPECT_TRUE(PdfProbe::Run("pdffonts", { path("example.pdf") }).contains(GetParam().font));
}

const QStringList EXAMPLE_VALUES = { QString::fromUtf8("Télécom Réseaux de Bourgogne SA"),
    "T200-2318-0473", "SC/APC", "CAB-DJN-048 (144 fibres)", QString::fromUtf8("25 - 115 µm") };

INSTANTIATE_TEST_SUITE_P(Languages, BundledExample,
    testing::Values(
        ExampleLanguage { "ENGLISH",
            QStringList { "Connector End-Face Inspection Report", "Customer information",
                "Low magnification", "Zone results", "Pass", "Fail" }
                + EXAMPLE_VALUES,
            "DejaVuSans" },
        ExampleLanguage { "FRENCH",
            QStringList { "Informations client", "Faible grossissement",
                QString::fromUtf8("Résultats par zone"), QString::fromUtf8("Réussi"),
                QString::fromUtf8("Échec") }
                + EXAMPLE_VALUES,
            "DejaVuSans" },
        ExampleLanguage { "CHINESE",
            QStringList { QString::fromUtf8("客户信息"), QString::fromUtf8("低倍率"),
                QString::fromUtf8("合格"), QString::fromUtf8("不合格") }
                + EXAMPLE_VALUES,
            "CJK" }),
    [](const testing::TestParamInfo<ExampleLanguage>& info) { return info.param.language; });

#endif

} // namespace
