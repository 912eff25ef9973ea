// render-report, the command-line host, run as a person or a script runs it.
#include "ChildProcess.h"
#include "PdfProbe.h"
#include "RenderTestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

using namespace renderTest;

const QString TOOL = QStringLiteral(RG_RENDER_REPORT);
const QString LABELS_TEMPLATE = QStringLiteral(RG_RENDER_TEST_DATA "/labels.htm");
constexpr int BAD_ARGUMENTS = 2;
constexpr int PAGE_FAILED = 3;
constexpr int RENDER_FAILED = 4;

ChildOutcome runTool(const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    return RunProgram(TOOL, arguments, environment);
}

class RenderReportTool : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(directory.isValid()); }

    QString path(const QString& name) const { return directory.filePath(name); }

    // Every argument of a report, each of them a file that exists.
    QStringList reportArguments()
    {
        WriteFile(path("page.htm"), "<html><body><p>{~Customer~}: {@Customer@}</p></body></html>");
        WriteFile(path("customer.xml"), "<CustomerInfo><Customer>ACME</Customer></CustomerInfo>");
        WriteFile(path("results.xml"), "<CheckerResults/>");
        return { "--template", path("page.htm"), "--customer", path("customer.xml"), "--results",
            path("results.xml"), "--low-mag", path("low.png"), "--high-mag", path("high.png"),
            "--output", path("report") };
    }

    QTemporaryDir directory;
};

// ---- Usage and arguments ----------------------------------------------------------------

TEST_F(RenderReportTool, HelpShowsTheUsage)
{
    const ChildOutcome tool = runTool({ "--help" });
    EXPECT_EQ(0, tool.exitCode);
    EXPECT_TRUE(tool.output.contains("Usage: render-report")) << tool.output.toStdString();
    EXPECT_TRUE(tool.output.contains("--locale-dir")) << tool.output.toStdString();
}

class MissingArgument : public RenderReportTool, public testing::WithParamInterface<const char*>
{
};

TEST_P(MissingArgument, IsNamedAndExitsWithTwo)
{
    QStringList arguments = reportArguments();
    const int at = arguments.indexOf(GetParam());
    arguments.removeAt(at);
    arguments.removeAt(at);

    const ChildOutcome tool = runTool(arguments);
    EXPECT_EQ(BAD_ARGUMENTS, tool.exitCode);
    EXPECT_TRUE(tool.output.contains(QStringLiteral("missing ") + GetParam()))
        << tool.output.toStdString();
    EXPECT_TRUE(FilesIn(directory.path()).filter(".pdf").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Options, MissingArgument,
    testing::Values("--template", "--customer", "--results", "--low-mag", "--high-mag", "--output"),
    [](const testing::TestParamInfo<const char*>& info) {
        return QString::fromLatin1(info.param).remove('-').toStdString();
    });

struct WrongArgument
{
    const char* test;
    QStringList extra;
    const char* said;
};

class WrongArguments : public RenderReportTool, public testing::WithParamInterface<WrongArgument>
{
};

TEST_P(WrongArguments, AreRefusedWithTwo)
{
    const ChildOutcome tool = runTool(reportArguments() + GetParam().extra);
    EXPECT_EQ(BAD_ARGUMENTS, tool.exitCode);
    EXPECT_TRUE(tool.output.contains(GetParam().said)) << tool.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Arguments, WrongArguments,
    testing::Values(
        WrongArgument { "unknownFormat", { "--format", "postscript" }, "unknown format" },
        WrongArgument { "unknownOption", { "--colour" }, "unknown option" },
        WrongArgument { "strayArgument", { "stray" }, "unexpected argument 'stray'" },
        WrongArgument { "unreadableXml", { "--customer", "/nonexistent/customer.xml" },
            "cannot read /nonexistent/customer.xml" },
        WrongArgument { "directoryAsXml", { "--results", "/" }, "cannot read /: Is a directory" }),
    [](const testing::TestParamInfo<WrongArgument>& info) { return info.param.test; });

// ---- Rendering --------------------------------------------------------------------------

struct FailingReport
{
    const char* test;
    const char* option;
    const char* file; // in the test directory
    int exitCode;
    const char* said;
};

class FailingReports : public RenderReportTool, public testing::WithParamInterface<FailingReport>
{
};

TEST_P(FailingReports, ExitWithTheirOwnStatus)
{
    QStringList arguments = reportArguments();
    arguments[arguments.indexOf(GetParam().option) + 1] = path(GetParam().file);

    const ChildOutcome tool = runTool(arguments);
    EXPECT_EQ(GetParam().exitCode, tool.exitCode) << tool.output.toStdString();
    EXPECT_TRUE(tool.output.contains(GetParam().said)) << tool.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Reports, FailingReports,
    testing::Values(FailingReport { "pageNotBuilt", "--template", "missing.htm", PAGE_FAILED,
                        "could not be built" },
        FailingReport { "pageNotRendered", "--output", "missing/report", RENDER_FAILED,
            "could not be rendered" }),
    [](const testing::TestParamInfo<FailingReport>& info) { return info.param.test; });

TEST_F(RenderReportTool, WritesThePdfWithoutADisplay)
{
    const ChildOutcome tool = runTool(reportArguments(), EnvironmentWithoutDisplay());
    ASSERT_EQ(0, tool.exitCode) << tool.output.toStdString();

    const PdfProbe pdf(path("report.pdf"));
    EXPECT_EQ("612 x 792 pts (letter)", pdf.PageSize());
    EXPECT_TRUE(pdf.Text().contains("ACME")) << pdf.Text().toStdString();
}

// Reports made at the same moment by several processes each show their own customer.
TEST_F(RenderReportTool, ConcurrentProcessesEachPrintTheirOwnReport)
{
    constexpr int PROCESSES = 4;
    constexpr int ROUNDS = 2;
    QStringList arguments = reportArguments();
    for (int round = 0; round < ROUNDS; ++round) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int k = 0; k < PROCESSES; ++k) {
            const QString name = QStringLiteral("customer%1").arg(k);
            WriteFile(path(name + ".xml"),
                "<CustomerInfo><Customer>Customer " + name.toUtf8() + "</Customer></CustomerInfo>");
            arguments[arguments.indexOf("--customer") + 1] = path(name + ".xml");
            arguments[arguments.indexOf("--output") + 1] = path(name);
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            processes.back()->start(TOOL, arguments);
        }
        for (int k = 0; k < PROCESSES; ++k) {
            ASSERT_TRUE(processes[k]->waitForFinished(60000));
            EXPECT_EQ(0, processes[k]->exitCode()) << k;
            const QString text = PdfProbe(path(QStringLiteral("customer%1.pdf").arg(k))).Text();
            EXPECT_EQ(1, text.count("Customer customer")) << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("Customer customer%1").arg(k)))
                << round << ": " << text.toStdString();
        }
    }
}

// ---- Labels as a catalog template -------------------------------------------------------

QString entry(const QString& reference, const QString& quotedLabel)
{
    return "#: " + reference + "\nmsgid " + quotedLabel + "\nmsgstr \"\"\n";
}

TEST_F(RenderReportTool, ListsEachLabelOnceWhereItFirstAppears)
{
    const ChildOutcome tool = runTool({ "--labels", "--template", LABELS_TEMPLATE });
    ASSERT_EQ(0, tool.exitCode) << tool.output.toStdString();

    const QString expected = entry(LABELS_TEMPLATE + ":1", "\"Report title\"") + '\n'
        + entry(LABELS_TEMPLATE + ":4", "\"Say \\\"hello\\\"\"") + '\n'
        + entry(LABELS_TEMPLATE + ":4", "\"Back\\\\slash\"") + '\n'
        + entry(LABELS_TEMPLATE + ":6", "\"Tab\\tinside\"") + '\n'
        + entry(LABELS_TEMPLATE + ":7", "\"Last label\"");
    EXPECT_TRUE(tool.output.contains(expected)) << tool.output.toStdString();
    // The empty label is no entry: an empty msgid is the header.
    EXPECT_EQ(1, tool.output.count("msgid \"\"\n"));
}

TEST_F(RenderReportTool, LabelTemplateStartsACatalogWithMsginit)
{
    const ChildOutcome tool =
        runTool({ "--labels", "--template", LABELS_TEMPLATE, "--output", path("labels.pot") });
    ASSERT_EQ(0, tool.exitCode) << tool.output.toStdString();

    const ChildOutcome init = RunProgram("msginit",
        { "--no-translator", "--locale=fr_FR.UTF-8", "--input=" + path("labels.pot"),
            "--output-file=" + path("fr.po") },
        QProcessEnvironment::systemEnvironment());
    ASSERT_EQ(0, init.exitCode) << init.output.toStdString();
    const ChildOutcome compile =
        RunProgram("msgfmt", { "--check", "--statistics", "-o", path("fr.mo"), path("fr.po") },
            QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(0, compile.exitCode) << compile.output.toStdString();
    EXPECT_TRUE(compile.output.contains("5 untranslated messages")) << compile.output.toStdString();
}

TEST_F(RenderReportTool, LabelsOfAnUnreadableTemplateExitWithTwo)
{
    const ChildOutcome tool = runTool({ "--labels", "--template", path("missing.htm") });
    EXPECT_EQ(BAD_ARGUMENTS, tool.exitCode);
    EXPECT_TRUE(tool.output.contains("cannot read the template")) << tool.output.toStdString();
}

} // namespace
