// CreateReportHtml end to end: staging pages compared byte for byte with reviewed pages,
// failures with their one error line and the staging page untouched, the trace of a call,
// the pause after each label, and the bundled example in three script families.
#include "CapturedStderr.h"
#include "Files.h"
#include "LogConfig.h"
#include "LogState.h"
#include "PoCatalog.h"
#include "TableTest.h"
#include "TempDir.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>

#include <gmock/gmock.h>

#include <QRegularExpression>

#include <array>
#include <clocale>
#include <cstring>
#include <sys/stat.h>

// Stands in for the system's usleep: the pauses are recorded, not slept.
std::vector<useconds_t> pauses;

extern "C" int usleep(useconds_t microseconds)
{
    pauses.push_back(microseconds);
    return 0;
}

namespace {

using testing::HasSubstr;

const std::string DATA = RG_PIPELINE_DATA_DIR;
const std::string STAGING = "/tmp/DomReportGenerator.htm";
const char* const EARLIER_PAGE = "<p>page of an earlier report</p>\n";
const char* const CUSTOMER = "<CustomerInfo><Customer>Télécom Réseaux</Customer>"
                             "<Operator>Amélie</Operator></CustomerInfo>";
const char* const CHECKER = "<CheckerResults><Passed>TRUE</Passed></CheckerResults>";

template <class Row = std::tuple<>> struct Pipeline : Table<Row>
{
    Pipeline()
    {
        SetTextDomain(RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
        files::Write(STAGING, EARLIER_PAGE);
    }
    // The library sets the process's message locale when it takes the environment's language.
    ~Pipeline() override
    {
        unlink(STAGING.c_str());
        setlocale(LC_ALL, "C");
    }

    std::string fixture(const std::string& name) const
    {
        return files::ReadFilled(DATA + "/" + name,
            { { "@CWD@", directory.path() }, { "@DATA@", DATA },
                { "@LOCALE@", RG_PIPELINE_LOCALE_DIR } });
    }

    TempDir directory { TempDir::AsWorkingDirectory };
};
using CreateReportHtmlTest = Pipeline<>;

// template (of data/pipeline; "sub/page.htm" is three-images.htm in a relative directory),
// language, checker text, customer text, the reviewed page
const std::tuple<const char*, const char*, const char*, const char*, const char*> PAGES[] = {
    { "no-markers.htm", "ENGLISH", CHECKER, CUSTOMER, "no-markers.expected.htm" },
    { "one-image.htm", "ENGLISH", CHECKER, CUSTOMER, "one-image.expected.htm" },
    { "two-images.htm", "ENGLISH", CHECKER, CUSTOMER, "two-images.expected.htm" },
    { "three-images.htm", "ENGLISH", CHECKER, CUSTOMER, "three-images.expected.htm" },
    { "sub/page.htm", "ENGLISH", CHECKER, CUSTOMER, "three-images-in-sub.expected.htm" },
    { "five-images.htm", "ENGLISH", CHECKER, CUSTOMER, "five-images.expected.htm" },
    { "labels.htm", "FRENCH", CHECKER, CUSTOMER, "labels-french.expected.htm" },
    { "labels.htm", "ENGLISH", CHECKER, CUSTOMER, "labels-en_US.expected.htm" },
    { "labels.htm", "french", CHECKER, CUSTOMER, "labels-en_US.expected.htm" },
    { "labels.htm", "", CHECKER, CUSTOMER, "labels-en_US.expected.htm" },
    { "labels.htm", nullptr, CHECKER, CUSTOMER, "labels-french.expected.htm" },
    { "labels.htm", "GERMAN", CHECKER, CUSTOMER, "labels-untranslated.expected.htm" },
    // The two texts are joined with nothing between them.
    { "tags.htm", "FRENCH", "rth</Site><Passed>TRUE</Passed><Checked>FALSE</Checked>",
        "<Customer>Télécom Réseaux</Customer><Site>No", "tags.expected.htm" }
};
TABLE_TEST(Pipeline, Page, IsTheReviewedPage, PAGES)
{
    const auto& [templateFile, language, checker, customer, expected] = GetParam();
    mkdir("sub", 0700);
    files::Write("sub/page.htm", files::Read(DATA + "/three-images.htm"));
    // Without a language, the environment's.
    setenv("LANG", "fr_FR.UTF-8", 1);
    const std::string path =
        strncmp(templateFile, "sub/", 4) == 0 ? templateFile : DATA + "/" + templateFile;
    ASSERT_EQ(
        0, CreateReportHtml(path.c_str(), language, checker, customer, "low.png", "./high.png"));
    unsetenv("LANG");
    EXPECT_EQ(files::Read(STAGING), fixture(expected));
}

TEST_F(CreateReportHtmlTest, PausesTenMillisecondsAfterEachLabel)
{
    pauses.clear();
    ASSERT_EQ(
        0, CreateReportHtml((DATA + "/labels.htm").c_str(), "FRENCH", CHECKER, CUSTOMER, "", ""));
    EXPECT_EQ(pauses, std::vector<useconds_t>(6, 10000));
}

// Failures: 1, their one error line, the staging page untouched, the language kept once it
// was set, the image paths left as given when the template is missing.
const std::string LONG_TEMPLATE = "/" + std::string(255, 't');
const std::string LONG_TEMPLATE_ERROR =
    "Template File name " + LONG_TEMPLATE + " is longer than 255";
// argument replaced (of: template, language, checker, customer, low, high), its value, the
// error (null: none of its own), the language afterwards
const std::tuple<const char*, int, const char*, const char*, const char*> FAILURES[] = {
    { "NullTemplate", 0, nullptr, "HTML Template file is NULL", "ENGLISH" },
    { "NullChecker", 2, nullptr, "XML HDC Checker Buffer is NULL", "FRENCH" },
    { "NullCustomer", 3, nullptr, "XML Customer Info Buffer is NULL", "FRENCH" },
    { "NullLowMag", 4, nullptr, "Image for Low Magnification Path name is NULL", "FRENCH" },
    { "NullHighMag", 5, nullptr, "Image for High Magnification Path name is NULL", "FRENCH" },
    { "MissingTemplate", 0, "missing.htm", "Template File missing.htm NOT FOUND", "FRENCH" },
    { "EmptyTemplate", 0, "", "Template File  NOT FOUND", "FRENCH" },
    { "TemplateOf256Bytes", 0, LONG_TEMPLATE.c_str(), LONG_TEMPLATE_ERROR.c_str(), "FRENCH" },
    { "MalformedXml", 3, "<CustomerInfo>", nullptr, "FRENCH" },
    { "XmlDeclaration", 2, "<?xml version=\"1.0\"?><a/>", nullptr, "FRENCH" }
};
TABLE_TEST(Pipeline, Failure, GivesOneAndLeavesTheStagingPage, FAILURES)
{
    const auto& [name, replaced, value, error, languageAfter] = GetParam();
    const std::string labels = DATA + "/labels.htm";
    const char* a[] = { labels.c_str(), "FRENCH", CHECKER, CUSTOMER, "l", "./h" };
    a[replaced] = value;
    g_sLanguage = "ENGLISH";
    CapturedStderr log;
    EXPECT_EQ(1, CreateReportHtml(a[0], a[1], a[2], a[3], a[4], a[5]));
    EXPECT_EQ(files::Read(STAGING), EARLIER_PAGE);
    EXPECT_EQ(g_sLanguage, languageAfter);
    const std::string own = error ? std::string("CreateReportHtml::") + error : "f=main";
    EXPECT_EQ(error != nullptr, log.text().find(own) != std::string::npos) << log.text();
    EXPECT_TRUE(replaced != 0 || !value || g_sImageHighMagPath == "./h") << g_sImageHighMagPath;
}

// The trace of a call, every level let through by the program's filter file; only
// CreateReportHtml's own records, as "[LEVEL] message".
std::string traceOf(const std::string& log)
{
    static const QRegularExpression header(QStringLiteral(
        R"((?:\[[^\]\n]*\]\[\d+\]: )?\[([A-Z]+) *\] <[^>]*>: *\d+: f=(\S*) l=\d+\. )"));
    const QString text = QString::fromLatin1(log.data(), static_cast<int>(log.size()));
    std::vector<QRegularExpressionMatch> records;
    for (auto matches = header.globalMatch(text); matches.hasNext();)
        records.push_back(matches.next());
    std::string trace;
    for (size_t i = 0; i < records.size(); ++i) {
        const int end = i + 1 < records.size() ? records[i + 1].capturedStart() : text.size();
        const QString message = text.mid(records[i].capturedEnd(), end - records[i].capturedEnd());
        if (records[i].captured(2) == "main"
            && (message.startsWith("CreateReportHtml::") || message == "DONE\n\n"))
            trace += "[" + records[i].captured(1).toStdString() + "] "
                + message.toLatin1().toStdString();
    }
    return trace;
}

template <class Row = std::tuple<>> struct DebugLog : Pipeline<Row>
{
    DebugLog()
    {
        files::Write(std::string(program_invocation_short_name) + ".conf", "DEBUG\n");
        SetLogConfigDirectory((this->directory.path() + "/").c_str());
        ResetLogState();
        setenv("LANG", "C", 1);
    }
    ~DebugLog() override
    {
        SetLogConfigDirectory("/quelnor/storage/brenmoor/");
        ResetLogState();
        unsetenv("LANG");
    }
};

// template, customer text, expected trace; the images are missing
const std::tuple<const char*, const char*, const char*> TRACES[] = {
    { "trace.htm", CUSTOMER, "trace-success.log" }, { nullptr, nullptr, "trace-null-template.log" },
    { "trace.htm", "<CustomerInfo>", "trace-bad-xml.log" }
};
TABLE_TEST(DebugLog, Trace, LogsEveryStepInOrder, TRACES)
{
    const auto& [templateName, customer, expected] = GetParam();
    const std::string templateFile = DATA + "/trace.htm";
    CapturedStderr log;
    if (templateName)
        CreateReportHtml(
            templateFile.c_str(), "FRENCH", CHECKER, customer, "low.png", "./high.png");
    else
        CreateReportHtml(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(traceOf(log.text()), fixture(expected));
}

// An inspection image that cannot be shown leaves the report as it is, with a warning; a
// FIFO is never opened for reading.
using DebugLogTest = DebugLog<>;
TEST_F(DebugLogTest, WarnsAboutInspectionImagesThatCannotBeShown)
{
    files::Write("text.png", "not an image");
    ASSERT_EQ(0, mkfifo("fifo.png", 0600));
    CapturedStderr log;
    EXPECT_EQ(0,
        CreateReportHtml(
            (DATA + "/trace.htm").c_str(), "FRENCH", CHECKER, CUSTOMER, "text.png", "fifo.png"));
    EXPECT_THAT(log.text(),
        testing::AllOf(HasSubstr("[WARNING] <"),
            HasSubstr(directory.path() + "/text.png is not an image that can be decoded"),
            HasSubstr(directory.path()
                + "/fifo.png cannot be read: a FIFO owned by root (uid 0), mode 0600")));
}

// The page's text: ISO 8859-1 bytes with every other character as a reference "&#N;".
QString decoded(const std::string& page)
{
    QString text = QString::fromLatin1(page.data(), static_cast<int>(page.size()));
    static const QRegularExpression reference(QStringLiteral("&#(\\d+);"));
    for (auto match = reference.match(text); match.hasMatch(); match = reference.match(text)) {
        const char32_t character = match.captured(1).toUInt();
        text.replace(
            match.capturedStart(), match.capturedLength(), QString::fromUcs4(&character, 1));
    }
    return text;
}

// The bundled example in a language of each script family: every label of the template
// shows its translation, and no marker is left. language, catalog
const std::tuple<const char*, const char*> EXAMPLES[] = { { "FRENCH", "fr_FR" },
    { "RUSSIAN", "ru_RU" }, { "CHINESE", "zh_CN" } };
TABLE_TEST(Pipeline, Example, ShowsEveryLabelInItsLanguage, EXAMPLES)
{
    const std::string example = RG_EXAMPLE_DIR;
    const std::string images = RG_EXAMPLE_IMAGE_DIR;
    SetTextDomain(RG_EXAMPLE_PACKAGE, RG_EXAMPLE_LOCALE_DIR);
    ASSERT_EQ(0,
        CreateReportHtml((example + "/report/EndFaceReport.htm").c_str(), std::get<0>(GetParam()),
            files::Read(example + "/data/CheckerResults.xml").c_str(),
            files::Read(example + "/data/CustomerInfo.xml").c_str(),
            (images + "/lowmag.png").c_str(), (images + "/highmag.png").c_str()));
    const QString page = decoded(files::Read(STAGING));
    const PoCatalog catalog(example + "/po/" + std::get<1>(GetParam()) + ".po");
    static const QRegularExpression label(QStringLiteral("\\{~(.*?)~\\}"));
    auto labels = label.globalMatch(
        QString::fromStdString(files::Read(example + "/report/EndFaceReport.htm")));
    while (labels.hasNext()) {
        const std::string text = labels.next().captured(1).toStdString();
        EXPECT_TRUE(page.contains(QString::fromStdString(catalog.Translate(text)))) << text;
    }
    EXPECT_FALSE(page.contains(QRegularExpression(QStringLiteral("\\{[~@$]|[~@$]\\}"))));
}

} // namespace
