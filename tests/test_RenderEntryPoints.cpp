// The exported render calls: the copy of a finished page onto the staging page, the
// one-call report and its output name, and the bundled example end to end.
#include <ReportGenerator/ReportGenerator.h>

#include "CapturedStderr.h"
#include "Files.h"
#include "PdfProbe.h"
#include "TableTest.h"
#include "TempDir.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

namespace {

using Names = std::vector<std::string>;

const std::string STAGING = "/tmp/DomReportGenerator.htm";
constexpr int PDF = 0;
constexpr int NO_OUTPUT = 4;
// Bytes that no text conversion would keep: a zero byte, bytes above 127 that are no UTF-8,
// a carriage return.
const std::string PAGE = std::string("<p>copied page</p><!-- \xff\xfe\x80 \r\n") + '\0' + "-->\n";

template <class Row = std::tuple<>> struct EntryPoints : Table<Row>
{
    EntryPoints() { unlink(STAGING.c_str()); }
    ~EntryPoints() override { unlink(STAGING.c_str()); }

    TempDir directory { TempDir::AsWorkingDirectory };
};
using RenderEntryPoints = EntryPoints<>;

TEST_F(RenderEntryPoints, RenderReportWithoutANameWritesDotPdfInTheWorkingDirectory)
{
    files::Write(STAGING, "<p>text</p>");
    EXPECT_EQ(0, RenderReport(nullptr, PDF));
    EXPECT_EQ(files::Entries("."), Names { ".pdf" });
}

// The name is taken as bytes, whatever a shell would make of it: nothing but the copy runs.
const std::string DEEP =
    std::string(200, 'd') + "/" + std::string(200, 'e') + "/" + std::string(200, 'f') + "/page.htm";
const std::tuple<std::string> SOURCE_NAMES[] = { { "page.htm" }, { "my page.htm" }, { "a\"b.htm" },
    { "x\"; touch injected; \".htm" }, { "$HOME.htm" }, { "$(touch injected).htm" },
    { "`touch injected`.htm" }, { "a\\\"b\\.htm" }, { "it's.htm" }, { "r\xe9sum\xe9.htm" },
    { DEEP }, { STAGING } };
TABLE_TEST(EntryPoints, SourceName, IsCopiedByteForByteAndRendered, SOURCE_NAMES)
{
    const std::string& source = std::get<0>(GetParam());
    ASSERT_TRUE(files::Write(source[0] == '/' ? source : directory.file(source), PAGE));
    EXPECT_EQ(0, GenerateReportHtml(source.c_str(), "report", PDF));
    EXPECT_EQ(files::Read(STAGING), PAGE);
    EXPECT_FALSE(files::Exists("injected"));
    EXPECT_TRUE(PdfProbe(QStringLiteral("report.pdf")).Text().contains("copied page"));
}

// A size that is neither leaves the paper as it was.
TEST_F(RenderEntryPoints, PdfPaperIsLetterOrA4)
{
    files::Write(STAGING, "<p>text</p>");
    // size asked for, result, paper of the next PDF
    const std::tuple<int, int, const char*> sizes[] = { { REPORT_PAGE_A4, 0, "595 x 842 pts (A4)" },
        { 2, -1, "595 x 842 pts (A4)" }, { REPORT_PAGE_LETTER, 0, "612 x 792 pts (letter)" } };
    for (const auto& [size, result, paper] : sizes) {
        EXPECT_EQ(result, SetReportPageSize(size));
        ASSERT_EQ(0, RenderReport("report", PDF));
        EXPECT_EQ(paper, PdfProbe(QStringLiteral("report.pdf")).Info("Page size")) << size;
    }
}

TEST_F(RenderEntryPoints, LinkAtTheStagingPageIsReplacedAndItsTargetKept)
{
    files::Write("victim", "precious");
    ASSERT_EQ(0, symlink((directory.path() + "/victim").c_str(), STAGING.c_str()));
    files::Write("page.htm", PAGE);
    EXPECT_EQ(0, GenerateReportHtml("page.htm", nullptr, NO_OUTPUT));
    EXPECT_EQ(files::Read("victim"), "precious");
    EXPECT_EQ(files::Read(STAGING), PAGE);
}

// A failed copy never lets an earlier page go out in place of this one, and never removes
// what it cannot replace. source, the staging page is a directory, logged
const std::tuple<const char*, bool, const char*> FAILED_COPIES[] = {
    { "missing.htm", false, "GenerateReportHtml::<ERROR 2>::Fail to read file missing.htm" },
    { "a-directory", false, ": a directory owned by" },
    { nullptr, false, "GenerateReportHtml::HTML file name is NULL" },
    { "page.htm", true,
        "Fail to write file /tmp/DomReportGenerator.htm: a directory owned by root (uid 0), "
        "mode 0700" }
};
TABLE_TEST(EntryPoints, FailedCopy, GivesMinusOneAndRendersNothing, FAILED_COPIES)
{
    const auto& [source, stagingIsADirectory, logged] = GetParam();
    mkdir("a-directory", 0700);
    if (stagingIsADirectory)
        mkdir(STAGING.c_str(), 0700);
    else
        files::Write(STAGING, "<p>earlier report</p>");
    files::Write("page.htm", PAGE);
    CapturedStderr log;
    EXPECT_EQ(-1, GenerateReportHtml(source, "report", PDF));
    EXPECT_EQ(stagingIsADirectory, files::Exists(STAGING));
    rmdir(STAGING.c_str());
    EXPECT_EQ(files::Entries("."), (Names { "a-directory", "page.htm" }));
    EXPECT_THAT(log.text(), testing::HasSubstr(logged));
}

TEST_F(RenderEntryPoints, CreateReportWithoutOutputNameOrXmlBuildsAndRendersNothing)
{
    files::Write("page.htm", "<p>page</p>\n");
    files::Write(STAGING, "<p>earlier report</p>");
    EXPECT_EQ(1, CreateReport("page.htm", "ENGLISH", "<a/>", "<b/>", "l", "h", PDF, nullptr));
    EXPECT_EQ(1, CreateReport("page.htm", "ENGLISH", nullptr, "<b/>", "l", "h", PDF, "report"));
    EXPECT_EQ(files::Read(STAGING), "<p>earlier report</p>");
    EXPECT_EQ(files::Entries("."), Names { "page.htm" });
}

// The bundled example as the instrument prints it, the output named relative to the
// working directory.
TEST_F(RenderEntryPoints, BundledExampleIsAUsLetterReportWithItsValuesBadgesAndImages)
{
    const std::string example = RG_EXAMPLE_DIR;
    SetTextDomain(RG_EXAMPLE_PACKAGE, RG_EXAMPLE_LOCALE_DIR);
    ASSERT_EQ(0,
        CreateReport((example + "/report/EndFaceReport.htm").c_str(), "ENGLISH",
            files::Read(example + "/data/CheckerResults.xml").c_str(),
            files::Read(example + "/data/CustomerInfo.xml").c_str(),
            RG_EXAMPLE_IMAGE_DIR "/lowmag.png", RG_EXAMPLE_IMAGE_DIR "/highmag.png", PDF,
            "example"));
    const PdfProbe pdf(QString::fromStdString(directory.path() + "/example.pdf"));
    EXPECT_EQ("612 x 792 pts (letter)", pdf.Info("Page size"));
    EXPECT_EQ(1, pdf.Pages());
    for (const char* text :
        { "Connector End-Face Inspection Report", "Zone results", "Pass", "Fail",
            "T\xc3\xa9l\xc3\xa9"
            "com R\xc3\xa9seaux de Bourgogne SA",
            "CAB-DJN-048 (144 fibres)", "25 - 115 \xc2\xb5m" })
        EXPECT_TRUE(pdf.Text().contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(pdf.ImageRows(), (QStringList { "480 480 rgb", "480 480 rgb" }));
}

} // namespace
