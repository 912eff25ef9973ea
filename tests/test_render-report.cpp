// render-report, the command-line host, run as a person or a script runs it.
#include "ChildProcess.h"
#include "Files.h"
#include "PdfProbe.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <memory>
#include <sys/stat.h>

namespace {

const QString TOOL = QStringLiteral(RG_RENDER_REPORT);
const std::string DATA = RG_RENDER_TEST_DATA;
enum Exit { DONE = 0, BAD_ARGUMENTS = 2, PAGE_FAILED = 3, RENDER_FAILED = 4 };

ChildOutcome runTool(const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    return RunProgram(TOOL, arguments, environment);
}

class RenderReportTool : public testing::Test
{
protected:
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

TEST_F(RenderReportTool, HelpShowsTheUsage)
{
    const ChildOutcome tool = runTool({ "--help" });
    EXPECT_EQ(DONE, tool.exitCode);
    EXPECT_TRUE(tool.output.contains("Usage: render-report")) << tool.output.toStdString();
}

struct ArgumentCase
{
    const char* name;
    QStringList change; // an option and its new value; an empty value removes the option
    int exitCode;
    const char* said;
};

class Arguments : public RenderReportTool, public testing::WithParamInterface<ArgumentCase>
{
};

TEST_P(Arguments, ThatMakeNoReportExitWithTheirStatus)
{
    QStringList arguments = reportArguments();
    const int at = arguments.indexOf(GetParam().change.first());
    if (at < 0)
        arguments += GetParam().change;
    else if (GetParam().change.value(1).isEmpty())
        arguments.erase(arguments.begin() + at, arguments.begin() + at + 2);
    else
        arguments[at + 1] = GetParam().change[1];
    mkfifo("fifo.xml", 0600);

    const ChildOutcome tool = runTool(arguments);
    EXPECT_EQ(GetParam().exitCode, tool.exitCode);
    EXPECT_TRUE(tool.output.contains(GetParam().said)) << tool.output.toStdString();
    EXPECT_FALSE(files::Exists("report.pdf"));
}

INSTANTIATE_TEST_SUITE_P(Calls, Arguments,
    testing::Values(
        ArgumentCase { "NoTemplate", { "--template" }, BAD_ARGUMENTS, "missing --template" },
        ArgumentCase { "NoCustomer", { "--customer" }, BAD_ARGUMENTS, "missing --customer" },
        ArgumentCase { "NoResults", { "--results" }, BAD_ARGUMENTS, "missing --results" },
        ArgumentCase { "NoLowMag", { "--low-mag" }, BAD_ARGUMENTS, "missing --low-mag" },
        ArgumentCase { "NoHighMag", { "--high-mag" }, BAD_ARGUMENTS, "missing --high-mag" },
        ArgumentCase { "NoOutput", { "--output" }, BAD_ARGUMENTS, "missing --output" },
        ArgumentCase {
            "UnknownFormat", { "--format", "postscript" }, BAD_ARGUMENTS, "unknown format" },
        ArgumentCase { "UnknownOption", { "--colour" }, BAD_ARGUMENTS, "unknown option" },
        ArgumentCase { "StrayArgument", { "stray" }, BAD_ARGUMENTS, "unexpected argument 'stray'" },
        ArgumentCase { "MissingXml", { "--customer", "/nonexistent.xml" }, BAD_ARGUMENTS,
            "cannot read /nonexistent.xml" },
        ArgumentCase { "FifoAsXml", { "--results", "fifo.xml" }, BAD_ARGUMENTS,
            "cannot read fifo.xml: Invalid argument" },
        ArgumentCase {
            "PageNotBuilt", { "--template", "missing.htm" }, PAGE_FAILED, "could not be built" },
        ArgumentCase { "PageNotRendered", { "--output", "missing/report" }, RENDER_FAILED,
            "could not be rendered" }),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return info.param.name; });

TEST_F(RenderReportTool, WritesThePdfWithoutADisplay)
{
    const ChildOutcome tool = runTool(reportArguments(), EnvironmentWithoutDisplay());
    ASSERT_EQ(DONE, tool.exitCode) << tool.output.toStdString();
    EXPECT_TRUE(PdfProbe(QStringLiteral("report.pdf")).Text().contains("ACME"));
}

// Reports made at the same moment by several processes each show their own customer.
TEST_F(RenderReportTool, ConcurrentProcessesEachPrintTheirOwnReport)
{
    QStringList arguments = reportArguments();
    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int k = 0; k < 4; ++k) {
            const std::string name = "customer" + std::to_string(k);
            files::Write(name + ".xml",
                "<CustomerInfo><Customer>Customer " + name + "</Customer></CustomerInfo>");
            arguments[arguments.indexOf("--customer") + 1] = QString::fromStdString(name + ".xml");
            arguments[arguments.indexOf("--output") + 1] = QString::fromStdString(name);
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(TOOL, arguments);
        }
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(processes[k]->waitForFinished(15000));
            EXPECT_EQ(DONE, processes[k]->exitCode());
            const QString text = PdfProbe(QStringLiteral("customer%1.pdf").arg(k)).Text();
            EXPECT_EQ(1, text.count("Customer customer")) << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("Customer customer%1").arg(k)))
                << round << ": " << text.toStdString();
        }
    }
}

// Each label once, where it first appears; the empty label is none (an empty msgid is
// the header); msginit starts a catalog from it that msgfmt compiles.
TEST_F(RenderReportTool, ListsTheLabelsAsACatalogTemplate)
{
    const QString labels = QString::fromStdString(DATA + "/labels.htm");
    const ChildOutcome tool =
        runTool({ "--labels", "--template", labels, "--output", "labels.pot" });
    ASSERT_EQ(DONE, tool.exitCode) << tool.output.toStdString();
    const std::string pot = files::Read("labels.pot");
    EXPECT_NE(std::string::npos,
        pot.find(files::ReadFilled(
            DATA + "/labels.pot.expected", { { "@TEMPLATE@", DATA + "/labels.htm" } })))
        << pot;
    EXPECT_EQ(1, QString::fromStdString(pot).count("msgid \"\"\n"));

    const auto environment = QProcessEnvironment::systemEnvironment();
    EXPECT_EQ(0,
        RunProgram("msginit",
            { "--no-translator", "--locale=fr_FR.UTF-8", "--input=labels.pot",
                "--output-file=fr.po" },
            environment)
            .exitCode);
    EXPECT_TRUE(
        RunProgram("msgfmt", { "--check", "--statistics", "-o", "fr.mo", "fr.po" }, environment)
            .output.contains("5 untranslated messages"));
    EXPECT_EQ(BAD_ARGUMENTS, runTool({ "--labels", "--template", "missing.htm" }).exitCode);
}

} // namespace
