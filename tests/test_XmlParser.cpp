// Built with -fno-access-control, to reach mXmlText.
#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/XmlParser.h>

#include "CapturedStderr.h"
#include "Files.h"
#include "TableTest.h"

#include <gmock/gmock.h>

using testing::ElementsAre;
using testing::HasSubstr;

// Readable values in messages and row names.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Dates in UTC (localtime reads TZ on every call), and words from a French catalog whose
// Zone has 25 bytes and Pass 60: the zone label keeps 19 of them, a badge 50.
struct UtcInFrench : testing::Environment
{
    void SetUp() override
    {
        setenv("TZ", "UTC", 1), SetTextDomain("Long", RG_CATALOG_DIR), GetLanguage(1);
    }
};
const auto* const ENVIRONMENT = testing::AddGlobalTestEnvironment(new UtcInFrench);
const QString ZONE = "Zone d'inspection o";
const QString PASS = "<span class=\"Pass\">Conforme aux critères d'acceptation du profil sé</span>";
const QString FAIL = "<span class=\"Fail\">Échec</span>";

QString dataText(const char* name)
{
    return QString::fromStdString(files::Read(RG_TEMPLATE_DIR "/" + std::string(name)));
}

// The tags asked from Zones.xml (Site North, q:Site South, Note of text, CDATA and a child,
// Blank of blanks only, zone A with Passed TRUE and Defects 0, zone B with Passed FALSE):
// their values.
const std::tuple<QStringList, QStringList> TAGS[] = {
    { { "Site", "InspectionZone", "^Passed", "Defects", "InspectionZone", "^Passed", "Defects",
          "InspectionZone", "^Passed", "Defects", "Site" },
        { "North", ZONE + "A", PASS, "0", ZONE + "B", FAIL, "0", ZONE + "C", "", "", "North" } },
    { { "Passed", "Defects", "Note", "Blank" }, { "TRUE", "0", "x<y>&z", "" } },
    { { "^InspectionZone", "InspectionZone", "Site", "Passed", "X" },
        { ZONE + "A", ZONE + "B", "North", "FALSE", "" } },
    { { "Site", "Site", "InspectionZone", "Passed", "Passed" },
        { "North", "North", ZONE + "A", "TRUE", "TRUE" } },
    { { " Site", "site", "Site ", "", "^^Passed", "^X" }, { "", "", "", "", "", "" } },
    { { "q:Site", "Site" }, { "South", "North" } }, { {}, {} }
};
TABLE_TEST(Table, TagsData, GivesOneValuePerTagAlsoIntoTheTagList, TAGS)
{
    const auto& [tags, expected] = GetParam();
    CXmlParser parser;
    QStringList values { "old" }, list = tags;
    EXPECT_TRUE(parser.GetTagsData(dataText("Zones.xml"), tags, values));
    EXPECT_EQ(values, expected);
    EXPECT_TRUE(parser.GetTagsData(dataText("Zones.xml"), list, list));
    EXPECT_EQ(list, expected);
}

// The value: its display form.
const std::tuple<QString, QString> FIELDS[] = { { "TRUE", PASS }, { "true", PASS },
    { "True", PASS }, { "FALSE", FAIL }, { "false", FAIL }, { " TRUE", " TRUE" },
    { "1", "01/01/1970 00:00" }, { "1700000000", "14/11/2023 22:13" }, { "0", "0" }, { "-5", "-5" },
    { "12.5", "12.5" }, { "abc", "abc" }, { "", "" },
    { "99999999999999999", "99999999999999999" } };
TABLE_TEST(Table, ConvertField, GivesTheDisplayFormAndLeavesTheValue, FIELDS)
{
    auto [value, shown] = GetParam();
    EXPECT_EQ(CXmlParser().ConvertField(value), shown);
    EXPECT_EQ(value, std::get<0>(GetParam()));
}

TEST(XmlParser, XmlTextIsTheDocumentReserialisedAndBadOrExpandingXmlIsRefused)
{
    CXmlParser parser;
    const std::string expected = files::Read(RG_TEMPLATE_DIR "/CheckerResults.expected.xml");
    EXPECT_EQ(parser.GetXmlText(RG_TEMPLATE_DIR "/CheckerResults.xml").toStdString(), expected);
    EXPECT_EQ(parser.GetXmlText(RG_TEMPLATE_DIR "/CheckerResultsCrLf.xml").toStdString(), expected);
    QStringList values { "kept" };
    const CapturedStderr captured;
    EXPECT_TRUE(parser.GetXmlText("/nonexistent/a.xml").isNull());
    for (const char* name : { "Malformed.xml", "BillionLaughs.xml", "ManyEntities.xml" }) {
        EXPECT_TRUE(parser.GetXmlText(RG_TEMPLATE_DIR "/" + QString(name)).isNull()) << name;
        EXPECT_FALSE(parser.GetTagsData(dataText(name), { "Site" }, values)) << name;
    }
    EXPECT_EQ(parser.mXmlText.toStdString(), expected) << "the last text read is kept";
    EXPECT_THAT(values, ElementsAre("kept"));
    EXPECT_THAT(captured.text(),
        testing::AllOf(HasSubstr("[ERROR  ]"),
            HasSubstr("GetXmlText::File /nonexistent/a.xml not open"),
            HasSubstr("Malformed.xml parsing error at line:3, column:21, error:tag mismatch"),
            HasSubstr("GetTagsData::<ERROR "),
            HasSubstr(">::Fail to parse XML text at line 3, column 21, error tag mismatch\n"
                      "  <Site>North</Sites>\n")));
}
