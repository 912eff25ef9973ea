#include <ReportGenerator/HtmlReport.h>

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::UnorderedElementsAre;

namespace {

struct MarkerLists
{
    QStringList labels;
    QStringList tags;
    QStringList images;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A template and a page path in a private directory.
class HtmlReportTest : public testing::Test
{
protected:
    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    void SetTemplate(const std::string& bytes) { WriteBytes(m_template, bytes); }

    MarkerLists Scan()
    {
        CHtmlReport report(m_template.data(), m_page.data());
        MarkerLists lists;
        EXPECT_EQ(report.GetListLabels(lists.labels), 0);
        EXPECT_EQ(report.GetListTags(lists.tags), 0);
        EXPECT_EQ(report.GetListImages(lists.images), 0);
        return lists;
    }

    int Generate(const MarkerLists& lists)
    {
        CHtmlReport report(m_template.data(), m_page.data());
        return report.GenerateReport(lists.labels, lists.tags, lists.images);
    }

    // The page written from lists, or a note of the failed result.
    std::string Fill(const MarkerLists& lists)
    {
        const int result = Generate(lists);
        return result == 0 ? Page() : "result " + std::to_string(result);
    }

    std::string Page() const { return ReadBytes(m_page); }

    QStringList DirectoryEntries() const
    {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    std::string m_template = Path("Report.htm");
    std::string m_page = Path("Page.htm");
};

// Marker syntax and pairing: one template per row, the items of each kind it yields.
struct ScanCase
{
    const char* name;
    std::string templateText;
    QStringList labels;
    QStringList tags;
    QStringList images;
};

void PrintTo(const ScanCase& row, std::ostream* out)
{
    *out << row.name;
}

class MarkerScanTest : public HtmlReportTest, public testing::WithParamInterface<ScanCase>
{
};

TEST_P(MarkerScanTest, ListsTheItemsOfEachKind)
{
    SetTemplate(GetParam().templateText);
    const MarkerLists lists = Scan();
    EXPECT_EQ(lists.labels, GetParam().labels);
    EXPECT_EQ(lists.tags, GetParam().tags);
    EXPECT_EQ(lists.images, GetParam().images);
}

const ScanCase SCAN_CASES[] = {
    { "SameWordInTwoCells", "<td>{~Date~}</td><td>{@Date@}</td>\n", { "Date" }, { "Date" }, {} },
    { "ImageInAttribute", "<img alt=\"{~Low~}\" src=\"{$LowMag$}\">\n", { "Low" }, {},
        { "LowMag" } },
    { "SpacesKept", "{~ Serial number ~}\n", { " Serial number " }, {}, {} },
    { "EmptyMarker", "{~~}\n", { "" }, {}, {} },
    { "MarkupKept", "{~<b>Bold</b>~}\n", { "<b>Bold</b>" }, {}, {} },
    { "OtherKindsInside", "{~a{@b$}~}\n", { "a{@b$}" }, {}, {} },
    { "NoClosing", "<p>{~Open</p>\n", {}, {}, {} },
    { "ClosingOnLaterLine", "{~Start\nEnd~}\n", {}, {}, {} },
    { "NestedOpening", "{~A {~B~}\n", { "A {~B", "B" }, {}, {} },
    { "OpeningsShareOneClosing", "{~{~{~x~} {~y\n", { "{~{~x", "{~x", "x" }, {}, {} },
    { "OpeningsWithoutClosing", "{~a {~b {~c\n", {}, {}, {} },
    { "TildeNotShared", "{~}\n", {}, {}, {} },
    { "TildeThenClosing", "{~}x~}\n", { "}x" }, {}, {} },
    { "KindsNeverPair", "{~x@}\n{@y~}\n{$z~}\n", {}, {}, {} },
    { "InComment", "<!-- {~Hidden~} -->\n", { "Hidden" }, {}, {} },
    { "InScript", "<script>var s = '{@Serial@}';</script>\n", {}, { "Serial" }, {} },
    { "SeveralPerLine", "{~a~}{~b~} {~c~}\n", { "a", "b", "c" }, {}, {} },
    { "RepeatedText", "{@Site@} {@Site@}\n", {}, { "Site", "Site" }, {} },
    { "ZeroByteHidesRestOfLine", std::string("{~A~}\0{~B~}\n{~C~}\n", 18), { "A", "C" }, {}, {} },
    { "NoMarkers", "<html><body>plain</body></html>\n", {}, {}, {} },
    { "EmptyFile", "", {}, {}, {} },
    { "LastLineWithoutLineEnd", "{~a~}\n{~b~}", { "a", "b" }, {}, {} },
    { "CarriageReturnKept", "{~a\r~}\r\n", { "a\r" }, {}, {} },
    { "Utf8Text", "{~Größe~} {@Łódź@}\n", { "Größe" }, { "Łódź" }, {} },
};

INSTANTIATE_TEST_SUITE_P(Rows, MarkerScanTest, testing::ValuesIn(SCAN_CASES),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST_F(HtmlReportTest, ScanAppendsToTheGivenList)
{
    SetTemplate("{~a~} {~b~}\n");
    CHtmlReport report(m_template.data(), m_page.data());
    QStringList labels { "kept" };
    EXPECT_EQ(report.GetListLabels(labels), 0);
    EXPECT_EQ(report.GetListLabels(labels), 0);
    EXPECT_THAT(labels, ElementsAre("kept", "a", "b", "a", "b"));
}

TEST_F(HtmlReportTest, ParseHtmlMatchesTheOpeningPatternMinimally)
{
    SetTemplate("[[[x]] <<y>>\n");
    CHtmlReport report(m_template.data(), m_page.data());
    QStringList items;
    EXPECT_EQ(report.ParseHtml("\\[\\[+", "\\]\\]", items), 0);
    EXPECT_EQ(report.ParseHtml("<+", ">>", items), 0);
    EXPECT_THAT(items, ElementsAre("[x", "<y", "y"));
}

TEST_F(HtmlReportTest, ParseHtmlMovesOnAfterAnOpeningThatMatchesNothing)
{
    SetTemplate("ay");
    CHtmlReport report(m_template.data(), m_page.data());
    QStringList items;
    EXPECT_EQ(report.ParseHtml("x*", "y", items), 0);
    EXPECT_THAT(items, ElementsAre("a", ""));
}

// Failures of the scan: result 1, the list as it was, one error line.
TEST_F(HtmlReportTest, ScanWithoutTemplateNameFails)
{
    for (char* name : { static_cast<char*>(nullptr), const_cast<char*>("") }) {
        CHtmlReport report(name, m_page.data());
        QStringList labels { "kept" };
        testing::internal::CaptureStderr();
        EXPECT_EQ(report.GetListLabels(labels), 1);
        EXPECT_EQ(report.GetListTags(labels), 1);
        EXPECT_EQ(report.GetListImages(labels), 1);
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
            HasSubstr("ParseHtml::Input Template HTML Filename is NULL"));
        EXPECT_THAT(labels, ElementsAre("kept"));
    }
}

TEST_F(HtmlReportTest, ScanOfMissingTemplateFails)
{
    CHtmlReport report(m_template.data(), m_page.data());
    QStringList labels { "kept" };
    testing::internal::CaptureStderr();
    EXPECT_EQ(report.GetListLabels(labels), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("ParseHtml::<ERROR 2>::Fail to open file " + m_template));
    EXPECT_THAT(labels, ElementsAre("kept"));
}

// Filling by position.
TEST_F(HtmlReportTest, FillsEachKindInOrder)
{
    SetTemplate("<p>{~a~} {@b@} {$c$}</p>\n");
    EXPECT_EQ(Fill({ { "L1" }, { "T1" }, { "I1" } }), "<p>L1 T1 I1</p>\n");
}

TEST_F(HtmlReportTest, NthMarkerGetsNthItemAcrossLines)
{
    const MarkerLists lists { { "one", "two", "three" }, {}, {} };
    SetTemplate("{~x~} {~x~} {~x~}\n");
    EXPECT_EQ(Fill(lists), "one two three\n");
    SetTemplate("{~x~}\n{~x~}\n{~x~}\n");
    EXPECT_EQ(Fill(lists), "one\ntwo\nthree\n");
}

TEST_F(HtmlReportTest, ItemsAreInsertedAsTheyAre)
{
    SetTemplate("<td>{@a@}</td><td>{@b@}</td><td>{~c~}</td>\n");
    EXPECT_EQ(Fill({ { " x " }, { "<span class=\"Pass\">Pass</span>", "" }, {} }),
        "<td><span class=\"Pass\">Pass</span></td><td></td><td> x </td>\n");
}

TEST_F(HtmlReportTest, SurplusItemsAreUnused)
{
    SetTemplate("{~a~}\n");
    EXPECT_EQ(Fill({ { "L1", "L2" }, { "T1" }, { "I1" } }), "L1\n");
}

TEST_F(HtmlReportTest, MarkersBeyondTheLastItemStay)
{
    SetTemplate("{~a~} {~b~} {@c@}\n{~d~} {$e$}\n");
    EXPECT_EQ(Fill({ { "L1" }, {}, {} }), "L1 {~b~} {@c@}\n{~d~} {$e$}\n");
}

TEST_F(HtmlReportTest, WithoutItemsThePageIsTheTemplate)
{
    const std::string text = "<p>{~a~} {@b@} {$c$} {~}</p>\n{~\n";
    SetTemplate(text);
    EXPECT_EQ(Fill({}), text);
}

// The fill looks for the closing sequence from the opening brace, the scan after it.
TEST_F(HtmlReportTest, BraceTildeBraceIsFilledThoughNotListed)
{
    SetTemplate("[{~}]\n{~x~}\n");
    EXPECT_THAT(Scan().labels, ElementsAre("x"));
    EXPECT_EQ(Fill({ { "A", "B" }, {}, {} }), "[A]\nB\n");
}

TEST_F(HtmlReportTest, NestedOpeningTakesOneItemInTheFill)
{
    SetTemplate("{~A {~B~} {~C~}\n");
    EXPECT_EQ(Fill({ { "1", "2" }, {}, {} }), "1 2\n");
}

TEST_F(HtmlReportTest, ZeroByteEndsTheTextOfItsLine)
{
    SetTemplate(std::string("{~a~} kept\0 lost\nnext {~b~}\n", 28));
    EXPECT_EQ(Fill({ { "L1", "L2" }, {}, {} }), "L1 keptnext L2\n");
}

// Inserted text is scanned again.
TEST_F(HtmlReportTest, LabelItemWithTagMarkerTakesATagItem)
{
    SetTemplate("{~a~} {@b@}\n");
    EXPECT_EQ(Fill({ { "<{@x@}>" }, { "T1", "T2" }, {} }), "<T1> T2\n");
}

TEST_F(HtmlReportTest, ItemWithMarkerOfItsOwnKindTakesTheNextItem)
{
    SetTemplate("{~a~}|{~b~}\n");
    EXPECT_EQ(Fill({ { "<{~y~}>", "L2", "L3" }, {}, {} }), "<L2>|L3\n");
}

TEST_F(HtmlReportTest, ItemOpeningAMarkerClosedByTheTemplate)
{
    SetTemplate("{~a~} rest~} {~b~}\n");
    EXPECT_EQ(Fill({ { "{~", "L2", "L3" }, {}, {} }), "L2 L3\n");
}

// Long lines: the scan and the fill read whole lines, so they see the same markers
// wherever a marker stands on the line.
TEST_F(HtmlReportTest, LongLineMarkersAreListedAndFilledInOrder)
{
    std::string line;
    std::string expected;
    MarkerLists lists;
    for (int i = 0; line.size() < 20000; ++i) {
        const std::string padding(i % 13, 'x');
        const std::string item = "item" + std::to_string(i) + "é";
        line += padding + "{~" + std::to_string(i) + "~}" + (i % 5 == 0 ? "é" : "");
        expected += padding + "item" + std::to_string(i) + "\xe9" + (i % 5 == 0 ? "\xe9" : "");
        lists.labels << QString::fromStdString(item);
    }
    SetTemplate(line + "\n");
    const QStringList scanned = Scan().labels;
    ASSERT_EQ(scanned.size(), lists.labels.size());
    EXPECT_EQ(scanned.first(), "0");
    EXPECT_EQ(scanned.last(), QString::number(scanned.size() - 1));
    EXPECT_EQ(Fill(lists), expected + "\n");
}

TEST_F(HtmlReportTest, MarkerAtEveryOffsetOfALongLine)
{
    for (const int offset : { 500, 505, 506, 507, 508, 509, 510, 511, 512, 1015, 1016, 1017, 1018,
             1019, 1020, 1021, 1022, 1023, 1024, 2040, 2043 }) {
        SetTemplate(std::string(offset, ' ') + "{@tag@}" + std::string(300, '-') + "{@next@}\n");
        ASSERT_THAT(Scan().tags, ElementsAre("tag", "next")) << offset;
        ASSERT_EQ(Fill({ {}, { "A", "B" }, {} }),
            std::string(offset, ' ') + "A" + std::string(300, '-') + "B\n")
            << offset;
    }
}

// The page: Latin-1 bytes, other characters as numeric character references.
TEST_F(HtmlReportTest, Latin1PageIsByteForByteTheTemplate)
{
    SetTemplate("<p>Café {~x~} ñ ÿ</p>\r\n<p>{@y@}</p>\n");
    EXPECT_EQ(Fill({ { "Größe" }, { "© 2024 ¼" }, {} }),
        "<p>Caf\xe9 Gr\xf6\xdf"
        "e \xf1 \xff</p>\r\n<p>\xa9 2024 \xbc</p>\n");
}

TEST_F(HtmlReportTest, CharactersBeyondLatin1BecomeReferences)
{
    SetTemplate("<td>{~a~}</td><td>{~b~}</td><td>{~c~}</td><td>{@d@}</td>\n");
    EXPECT_EQ(Fill({ { "检验日期", "Дата", "Łódź" }, { "😀 ok" }, {} }),
        "<td>&#26816;&#39564;&#26085;&#26399;</td><td>&#1044;&#1072;&#1090;&#1072;</td>"
        "<td>&#321;\xf3"
        "d&#378;</td><td>&#128512; ok</td>\n");
}

TEST_F(HtmlReportTest, TemplateTextBeyondLatin1BecomesReferences)
{
    SetTemplate("<p>→ 检验</p>\n");
    EXPECT_EQ(Fill({}), "<p>&#8594; &#26816;&#39564;</p>\n");
}

TEST_F(HtmlReportTest, InvalidUtf8BecomesReplacementCharacter)
{
    SetTemplate("<p>a\xff"
                "b</p>\n");
    EXPECT_EQ(Fill({}), "<p>a&#65533;b</p>\n");
}

TEST_F(HtmlReportTest, LoneSurrogateBecomesQuestionMark)
{
    SetTemplate("{~a~}|{~b~}\n");
    const QString lowFirst = QString(QChar(0xDE00)) + QChar(0xD83D);
    EXPECT_EQ(Fill({ { QString(QChar(0xD83D)) + "x", lowFirst }, {}, {} }), "?x|??\n");
}

// The page file: replaced whole, only when complete.
TEST_F(HtmlReportTest, ShorterPageReplacesLongerOne)
{
    WriteBytes(m_page, std::string(5000, 'o'));
    SetTemplate("new\n");
    EXPECT_EQ(Fill({}), "new\n");
    EXPECT_THAT(DirectoryEntries(), UnorderedElementsAre("Page.htm", "Report.htm"));
}

TEST_F(HtmlReportTest, PageHasTheModeOfANewFile)
{
    SetTemplate("x\n");
    for (const mode_t mask : { 022, 027, 077 }) {
        unlink(m_page.c_str());
        const mode_t previous = umask(mask);
        EXPECT_EQ(Generate({}), 0);
        umask(previous);
        struct stat status
        {
        };
        ASSERT_EQ(stat(m_page.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    }
}

TEST_F(HtmlReportTest, SymbolicLinkAtPagePathIsReplacedNotFollowed)
{
    const std::string victim = Path("victim.txt");
    WriteBytes(victim, "precious");
    ASSERT_EQ(symlink(victim.c_str(), m_page.c_str()), 0);
    SetTemplate("page\n");
    EXPECT_EQ(Fill({}), "page\n");
    EXPECT_EQ(ReadBytes(victim), "precious");
    struct stat status
    {
    };
    ASSERT_EQ(lstat(m_page.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
}

TEST_F(HtmlReportTest, PageInCurrentDirectoryByPlainName)
{
    SetTemplate("here\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    char pageName[] = "Plain.htm";
    CHtmlReport report(m_template.data(), pageName);
    EXPECT_EQ(report.GenerateReport({}, {}, {}), 0);
    QDir::setCurrent(previous);
    EXPECT_EQ(ReadBytes(Path("Plain.htm")), "here\n");
}

// Failures of the fill: result 1, the previous page untouched, one error line.
TEST_F(HtmlReportTest, FillWithoutTemplateNameFails)
{
    char empty[] = "";
    CHtmlReport report(empty, m_page.data());
    testing::internal::CaptureStderr();
    EXPECT_EQ(report.GenerateReport({}, {}, {}), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("GenerateReport::Input Template HTML Filename is NULL"));
}

TEST_F(HtmlReportTest, FillWithoutPageNameFails)
{
    SetTemplate("{~a~}\n");
    for (char* name : { static_cast<char*>(nullptr), const_cast<char*>("") }) {
        CHtmlReport report(m_template.data(), name);
        testing::internal::CaptureStderr();
        EXPECT_EQ(report.GenerateReport({}, {}, {}), 1);
        EXPECT_THAT(testing::internal::GetCapturedStderr(),
            HasSubstr("GenerateReport::Output HTML Filename is NULL"));
        QStringList labels;
        EXPECT_EQ(report.GetListLabels(labels), 0);
        EXPECT_THAT(labels, ElementsAre("a"));
    }
}

TEST_F(HtmlReportTest, FillOfMissingTemplateLeavesThePage)
{
    WriteBytes(m_page, "old page");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Generate({}), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("GenerateReport::<ERROR 2>::Fail to open file " + m_template));
    EXPECT_EQ(Page(), "old page");
}

TEST_F(HtmlReportTest, PageInMissingDirectoryFails)
{
    SetTemplate("x\n");
    std::string page = Path("missing/Page.htm");
    CHtmlReport report(m_template.data(), page.data());
    testing::internal::CaptureStderr();
    EXPECT_EQ(report.GenerateReport({}, {}, {}), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("GenerateReport::<ERROR 2>::Fail to open file " + page));
}

TEST_F(HtmlReportTest, PageOverDirectoryFailsAndLeavesNoTemporaryFile)
{
    SetTemplate("x\n");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Page.htm"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Generate({}), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("GenerateReport::<ERROR 21>::Fail to open file " + m_page + ": a directory"));
    EXPECT_THAT(DirectoryEntries(), UnorderedElementsAre("Page.htm", "Report.htm"));
}

// The child may write at most limit bytes per file; SIGXFSZ ignored turns the excess
// into EFBIG. Returns the child's result and captured error output.
std::pair<int, std::string> GenerateWithFileSizeLimit(const std::string& templatePath,
    const std::string& pagePath, const std::string& logPath, rlim_t limit)
{
    const pid_t child = fork();
    if (child == 0) {
        freopen(logPath.c_str(), "w", stderr);
        signal(SIGXFSZ, SIG_IGN);
        const struct rlimit sizeLimit
        {
            limit, limit
        };
        setrlimit(RLIMIT_FSIZE, &sizeLimit);
        std::string templateName = templatePath;
        std::string pageName = pagePath;
        CHtmlReport report(templateName.data(), pageName.data());
        _exit(report.GenerateReport({ "label" }, {}, {}));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(logPath) };
}

TEST_F(HtmlReportTest, IncompletePageIsReportedAndTheOldPageStays)
{
    SetTemplate("<p>{~a~}</p>\n" + std::string(100000, 'x') + "\n");
    WriteBytes(m_page, "old page");
    const auto [result, log] = GenerateWithFileSizeLimit(m_template, m_page, Path("log"), 4096);
    EXPECT_EQ(result, 1);
    EXPECT_THAT(log, HasSubstr("[ERROR  ]"));
    EXPECT_THAT(log, HasSubstr("GenerateReport::<ERROR 27>::Fail to write file " + m_page));
    EXPECT_EQ(Page(), "old page");
    EXPECT_THAT(DirectoryEntries(), UnorderedElementsAre("Page.htm", "Report.htm", "log"));
}

TEST_F(HtmlReportTest, PageWithinFileSizeLimitIsWritten)
{
    SetTemplate("<p>{~a~}</p>\n");
    const auto [result, log] = GenerateWithFileSizeLimit(m_template, m_page, Path("log"), 4096);
    EXPECT_EQ(result, 0) << log;
    EXPECT_EQ(Page(), "<p>label</p>\n");
}

} // namespace
