#include <ReportGenerator/HtmlReport.h>

#include "CapturedStderr.h"
#include "Files.h"
#include "TableTest.h"
#include "TempDir.h"

#include <gmock/gmock.h>

using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;

// A template in a private directory, and the page beside it.
struct Template
{
    explicit Template(const std::string& text) { files::Write(path, text); }
    CHtmlReport report() { return CHtmlReport(path.data(), page.data()); }

    TempDir dir;
    std::string path = dir.file("Report.htm"), page = dir.file("Page.htm");
};

// Scan.htm, line by line: markers in a comment, an attribute and a script; an empty one;
// other kinds inside; a closing sequence only on the next line; an opening sequence before
// another one; "{~}" then a closing sequence; kinds that never pair; several markers; a
// zero byte; markers across the 512th and 1024th bytes; the custom patterns' line.
TEST(HtmlReport, ScanListsTheItemsOfEachKindInTemplateOrderAndAppends)
{
    std::string path = RG_TEMPLATE_DIR "/Scan.htm";
    CHtmlReport report(path.data(), nullptr);
    QStringList labels { "kept" }, tags, images, custom;
    EXPECT_EQ(report.GetListLabels(labels) + report.GetListTags(tags) + report.GetListImages(images)
            + report.ParseHtml("\\[\\[+", "\\]\\]", custom) + report.ParseHtml("<+", ">>", custom),
        0);
    EXPECT_THAT(
        labels, ElementsAre("kept", "A", "", "a{@b$}", "A {~B", "B", "}x", "a", "b", "A", "C"));
    EXPECT_THAT(tags, ElementsAre("C", "S", "S", "a", "b", "c"));
    EXPECT_THAT(images, ElementsAre("B"));
    EXPECT_THAT(custom, ElementsAre("[x", "<y", "y")) << "custom openings match minimally";
    Template empty("ay");
    EXPECT_EQ(empty.report().ParseHtml("x*", "y", custom), 0) << "an opening that matches nothing";
    EXPECT_THAT(custom, ElementsAre("[x", "<y", "y", "a", ""));
}

// A template of data/templates/fill, the labels, tags and images filled in (the page
// expected beside it).
const std::tuple<const char*, QStringList, QStringList, QStringList> FILLS[] = {
    { "EachKindInOrderSurplusUnused", { "<b>L1</b>", "L2" }, { "T1", "" }, { "I1", "I2" } },
    { "ByPositionMarkersBeyondTheLastItemKept", { "one", "two", "three" }, {}, {} },
    { "BraceTildeBraceIsComplete", { "A", "B" }, {}, {} },
    { "LabelItemWithATagMarker", { "<{@x@}>" }, { "T1", "T2" }, {} },
    { "ItemWithAMarkerOfItsKind", { "<{~y~}>", "L2", "L3" }, {}, {} },
    { "Latin1", { "Große" }, {}, {} }, { "InvalidUtf8", {}, {}, {} },
    { "BeyondLatin1AsReferences", { "检验", "Łódź" }, { "😀" }, {} },
    { "LoneSurrogates", { QString(QChar(0xD83D)) + "x", QString(QChar(0xDE00)) }, {}, {} }
};
TABLE_TEST(Table, Fill, WritesThePageWithTheItemsInMarkerOrderAsLatin1, FILLS)
{
    const auto& [name, labels, tags, images] = GetParam();
    const std::string data = RG_TEMPLATE_DIR "/fill/" + std::string(name);
    Template file(files::Read(data + ".htm"));
    EXPECT_EQ(file.report().GenerateReport(labels, tags, images), 0);
    EXPECT_EQ(files::Read(file.page), files::Read(data + ".expected.htm"));
}

TEST(HtmlReport, WithoutATemplateOrPageNothingIsListedOrWrittenAndTheReasonIsLogged)
{
    Template file("x\n");
    std::string missing = file.dir.file("missing.htm"), noDir = file.dir.file("no") + "/P.htm";
    char empty[] = "";
    for (char* name : { static_cast<char*>(nullptr), empty, missing.data() }) {
        CHtmlReport report(name, file.page.data());
        QStringList l { "kept" };
        const CapturedStderr captured;
        EXPECT_EQ(report.GetListLabels(l) + report.GetListTags(l) + report.GetListImages(l), 3);
        EXPECT_EQ(report.GenerateReport({ "a" }, {}, {}), 1);
        EXPECT_THAT(l, ElementsAre("kept"));
        const std::string reason = name == missing.data()
            ? "::<ERROR 2>::Fail to open file " + missing
            : "::Input Template HTML Filename is NULL";
        EXPECT_THAT(captured.text(),
            AllOf(HasSubstr("[ERROR  ]"), HasSubstr("ParseHtml" + reason),
                HasSubstr("GenerateReport" + reason)));
    }
    EXPECT_FALSE(files::Exists(file.page));
    CHtmlReport withoutPage(file.path.data(), nullptr), pageInNoDir(file.path.data(), noDir.data());
    const CapturedStderr captured;
    EXPECT_EQ(withoutPage.GenerateReport({}, {}, {}) + pageInNoDir.GenerateReport({}, {}, {}), 2);
    EXPECT_THAT(captured.text(),
        AllOf(HasSubstr("GenerateReport::Output HTML Filename is NULL"),
            HasSubstr("GenerateReport::<ERROR 2>::Fail to open file " + noDir)));
}
