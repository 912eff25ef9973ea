// render-report, the command-line host, run as a person or a script runs it.
#include "ChildProcess.h"
#include "Files.h"
#include "PdfProbe.h"
#include "TableTest.h"
#include "TempDir.h"

#include <gmock/gmock.h>

#include <QProcess>

#include <sys/stat.h>

namespace {

const QString TOOL = QStringLiteral(RG_RENDER_REPORT);
const std::string DATA = RG_RENDER_TEST_DATA;
const QString HEADERS = QStringLiteral(RG_RENDER_TEST_DATA "/job-headers/");
enum Exit { DONE = 0, BAD_ARGUMENTS = 2, PAGE_FAILED = 3, RENDER_FAILED = 4, JOB_INCOMPLETE = 5 };
using testing::HasSubstr;

template <class Row = std::tuple<>> struct Tool : Table<Row>
{
    // Every argument of a report, each of them a file that exists but the images.
    QStringList reportArguments() const
    {
        files::Write("page.htm", "<html><body><p>{~Customer~}: {@Customer@}</p></body></html>");
        files::Write("customer.xml", "<CustomerInfo><Customer>ACME</Customer></CustomerInfo>");
        files::Write("results.xml", "<CheckerResults/>");
        return { "--template", "page.htm", "--customer", "customer.xml", "--results", "results.xml",
            "--low-mag", "low.png", "--high-mag", "high.png", "--output", "report" };
    }

    TempDir directory { TempDir::AsWorkingDirectory };
};
using RenderReportTool = Tool<>;

TEST_F(RenderReportTool, HelpShowsTheUsage)
{
    const ChildOutcome tool = RunProgram(TOOL, { "--help" });
    EXPECT_EQ(DONE, tool.exitCode);
    EXPECT_TRUE(tool.output.contains("Usage: render-report")) << tool.output.toStdString();
}

// name, an option and its new value (an empty value removes the option), exit code, said
const std::tuple<const char*, QStringList, int, const char*> ARGUMENTS[] = {
    { "NoTemplate", { "--template" }, BAD_ARGUMENTS, "missing --template" },
    { "NoHighMag", { "--high-mag" }, BAD_ARGUMENTS, "missing --high-mag" },
    { "NoOutput", { "--output" }, BAD_ARGUMENTS, "missing --output" },
    { "UnknownFormat", { "--format", "postscript" }, BAD_ARGUMENTS, "unknown format" },
    { "UnknownOption", { "--colour" }, BAD_ARGUMENTS, "unknown option" },
    { "StrayArgument", { "stray" }, BAD_ARGUMENTS, "unexpected argument 'stray'" },
    { "MissingXml", { "--customer", "/nonexistent.xml" }, BAD_ARGUMENTS,
        "cannot read /nonexistent.xml" },
    { "FifoAsXml", { "--results", "fifo.xml" }, BAD_ARGUMENTS,
        "cannot read fifo.xml: Invalid argument" },
    { "PageNotBuilt", { "--template", "missing.htm" }, PAGE_FAILED, "could not be built" },
    { "PageNotRendered", { "--output", "missing/report" }, RENDER_FAILED, "could not be rendered" },
    { "NoJobFile", { "--job", "none.csv" }, BAD_ARGUMENTS, "cannot read the job file none.csv" },
    { "JobColumnUnknown", { "--job", HEADERS + "colour.csv" }, BAD_ARGUMENTS,
        "colour.csv: unknown column 'colour'" },
    { "JobColumnMissing", { "--job", HEADERS + "no-output.csv" }, BAD_ARGUMENTS,
        "no-output.csv: no column output" },
    { "JobQuoteUnended", { "--job", HEADERS + "quote.csv" }, BAD_ARGUMENTS,
        "quote.csv: a quoted field that begins on line 2 never ends" },
    { "CombinedWithoutJob", { "--combined", "all" }, BAD_ARGUMENTS, "--combined needs --job" },
    { "UnknownPageSize", { "--page-size", "A3" }, BAD_ARGUMENTS, "unknown page size 'A3'" }
};
TABLE_TEST(Tool, Arguments, ThatMakeNoReportExitWithTheirStatus, ARGUMENTS)
{
    const auto& [name, change, exitCode, said] = GetParam();
    QStringList arguments = reportArguments();
    const int at = arguments.indexOf(change.first());
    if (at < 0)
        arguments += change;
    else if (change.value(1).isEmpty())
        arguments.erase(arguments.begin() + at, arguments.begin() + at + 2);
    else
        arguments[at + 1] = change[1];
    mkfifo("fifo.xml", 0600);

    const ChildOutcome tool = RunProgram(TOOL, arguments);
    EXPECT_EQ(exitCode, tool.exitCode);
    EXPECT_TRUE(tool.output.contains(said)) << tool.output.toStdString();
    EXPECT_FALSE(files::Exists("report.pdf"));
}

class Job : public RenderReportTool
{
protected:
    // The job's files in the working directory; its rows name them relative to the job file.
    QStringList jobArguments() const
    {
        for (const std::string& name : files::Entries(DATA + "/job"))
            files::Write(name, files::Read(DATA + "/job/" + name));
        return { "--job", "job.csv", "--template", "page.htm", "--locale-dir",
            RG_PIPELINE_LOCALE_DIR, "--package", "PipelineTest", "--language", "ENGLISH" };
    }
};

// A row that fails is told by its line and skipped; the others and their combination are
// written, without a display, on the paper asked for.
TEST_F(Job, WritesEveryRowItCanAndOnePdfOfThemAll)
{
    const ChildOutcome tool =
        RunProgram(TOOL, jobArguments() + QStringList { "--combined", "all", "--page-size", "A4" },
            EnvironmentWithoutDisplay());
    EXPECT_EQ(JOB_INCOMPLETE, tool.exitCode);
    EXPECT_THAT(tool.output.toStdString(), HasSubstr("job.csv:4: cannot read ./missing.xml"));
    EXPECT_THAT(tool.output.toStdString(),
        HasSubstr("job.csv:6: ./alpha, first.pdf is also the output of line 2"));
    EXPECT_THAT(tool.output.toStdString(),
        HasSubstr("3 of 5 reports written; failed rows (lines of job.csv): 4 6\n"));
    EXPECT_FALSE(files::Exists("missing.pdf"));
    EXPECT_FALSE(tool.output.contains("[1/4]")) << "a progress line in a pipe";

    const char* const rows[][2] = { { "alpha, first.pdf", "Customer name: Alpha" },
        { "beta.pdf", "Client: Beta" }, { "gamma.pdf", "Customer name: Gamma" } };
    const PdfProbe combined(QStringLiteral("all.pdf"));
    EXPECT_EQ(3, combined.Pages());
    EXPECT_EQ(QStringLiteral("Job report"), combined.Info(QStringLiteral("Title")));
    QString pages;
    for (const auto& [pdf, text] : rows) {
        const PdfProbe report(QString::fromUtf8(pdf));
        EXPECT_EQ(report.Text().trimmed().toStdString(), text) << pdf;
        EXPECT_EQ(report.Info(QStringLiteral("Page size")), "595 x 842 pts (A4)");
        pages += report.Text();
    }
    EXPECT_EQ(combined.Text(), pages);
}

// The progress line is for a person at a terminal.
TEST_F(Job, ShowsItsProgressOnATerminalUnlessQuiet)
{
    const QString command = TOOL + " " + jobArguments().join(' ');
    const QString shown = RunProgram("script", { "-qfec", command, "/dev/null" }).output;
    EXPECT_TRUE(shown.contains("[4/5] ./gamma.pdf") && shown.contains("left"))
        << shown.toStdString();
    EXPECT_FALSE(
        RunProgram("script", { "-qfec", command + " -q", "/dev/null" }).output.contains("[1/4]"));
}

// Reports made at the same moment by several processes each show their own customer.
TEST_F(RenderReportTool, ConcurrentProcessesEachPrintTheirOwnReport)
{
    QStringList arguments = reportArguments();
    for (int round = 0; round < 2; ++round) {
        QProcess processes[4];
        for (int k = 0; k < 4; ++k) {
            const QString name = QStringLiteral("customer%1").arg(k);
            files::Write(name.toStdString() + ".xml",
                "<CustomerInfo><Customer>" + name.toStdString() + "</Customer></CustomerInfo>");
            arguments[arguments.indexOf("--customer") + 1] = name + ".xml";
            arguments[arguments.indexOf("--output") + 1] = name;
            processes[k].start(TOOL, arguments);
        }
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(processes[k].waitForFinished(15000));
            EXPECT_EQ(DONE, processes[k].exitCode());
            EXPECT_EQ(PdfProbe(QStringLiteral("customer%1.pdf").arg(k)).Text().trimmed(),
                QStringLiteral("Customer: customer%1").arg(k))
                << "round " << round;
        }
    }
}

// Each label once, where it first appears; the empty label is none (an empty msgid is
// the header).
TEST_F(RenderReportTool, ListsTheLabelsAsACatalogTemplate)
{
    const QString labels = QString::fromStdString(DATA + "/labels.htm");
    const ChildOutcome tool =
        RunProgram(TOOL, { "--labels", "--template", labels, "--output", "labels.pot" });
    ASSERT_EQ(DONE, tool.exitCode) << tool.output.toStdString();
    const std::string pot = files::Read("labels.pot");
    EXPECT_NE(std::string::npos,
        pot.find(files::ReadFilled(
            DATA + "/labels.pot.expected", { { "@TEMPLATE@", DATA + "/labels.htm" } })))
        << pot;
    EXPECT_EQ(1, QString::fromStdString(pot).count("msgid \"\"\n"));
    EXPECT_EQ(
        BAD_ARGUMENTS, RunProgram(TOOL, { "--labels", "--template", "missing.htm" }).exitCode);
}

} // namespace
