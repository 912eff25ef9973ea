#include <ReportGenerator/XmlParser.h>

#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

const QString PASS_BADGE = "<span class=\"Pass\">Pass</span>";
const QString FAIL_BADGE = "<span class=\"Fail\">Fail</span>";

QString DataFile(const char* name)
{
    return QString::fromLocal8Bit(getenv("RG_SOURCE_DIR")) + "/tests/data/templates/" + name;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The report's XML as the assembly builds it: both inputs inside one root element.
QString ReportXml(const QString& content)
{
    return "<ReportGenerator>" + content + "</ReportGenerator>";
}

// A document whose one entity of size characters is referenced count times.
QString RepeatedEntityDocument(int size, int count)
{
    return "<!DOCTYPE r [<!ENTITY a \"" + QString(size, 'x') + "\">]>\n<r>"
        + QString("&a;").repeated(count) + "</r>\n";
}

class XmlParserTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    QStringList Values(const QString& content, const QStringList& tags)
    {
        QStringList values;
        EXPECT_TRUE(m_parser.GetTagsData(ReportXml(content), tags, values));
        EXPECT_EQ(values.size(), tags.size());
        return values;
    }

    CXmlParser m_parser;
};

// Zones.
const QString TWO_ZONES =
    "<Site>North</Site>"
    "<InspectionZone ZoneName=\"Core\"><Passed>TRUE</Passed><Defects>0</Defects></InspectionZone>"
    "<InspectionZone ZoneName=\"Cladding\"><Passed>FALSE</Passed></InspectionZone>";

TEST_F(XmlParserTest, WorkedZoneExample)
{
    EXPECT_THAT(Values(TWO_ZONES,
                    { "Site", "InspectionZone", "^Passed", "Defects", "InspectionZone", "^Passed",
                        "Defects", "InspectionZone", "^Passed", "Defects", "Site" }),
        ElementsAre("North", "Zone A", PASS_BADGE, "0", "Zone B", FAIL_BADGE, "0", "Zone C", "", "",
            "North"));
}

TEST_F(XmlParserTest, ZoneFieldsBeforeAnyZoneMarkerComeFromTheFirstZone)
{
    EXPECT_THAT(Values(TWO_ZONES, { "Passed", "Defects" }), ElementsAre("TRUE", "0"));
}

TEST_F(XmlParserTest, ZoneStaysCurrentForOtherTags)
{
    EXPECT_THAT(
        Values(TWO_ZONES, { "InspectionZone", "InspectionZone", "Site", "Passed", "Missing" }),
        ElementsAre("Zone A", "Zone B", "North", "FALSE", ""));
}

TEST_F(XmlParserTest, RepeatedTagsEachGetAValue)
{
    EXPECT_THAT(Values(TWO_ZONES, { "Site", "Site", "InspectionZone", "Passed", "Passed" }),
        ElementsAre("North", "North", "Zone A", "TRUE", "TRUE"));
}

TEST_F(XmlParserTest, ConversionMarkOnZoneMarkerIsIgnored)
{
    EXPECT_THAT(Values(TWO_ZONES, { "^InspectionZone", "Passed", "^InspectionZone", "^Passed" }),
        ElementsAre("Zone A", "TRUE", "Zone B", FAIL_BADGE));
}

TEST_F(XmlParserTest, ZonesAtAnyDepthInDocumentOrder)
{
    const QString nested =
        "<Result><InspectionZone><Name>outer</Name>"
        "<InspectionZone><Name>inner</Name></InspectionZone></InspectionZone></Result>";
    EXPECT_THAT(Values(nested, { "InspectionZone", "Name", "InspectionZone", "Name" }),
        ElementsAre("Zone A", "outer", "Zone B", "inner"));
}

TEST_F(XmlParserTest, ZoneLettersContinuePastZ)
{
    const QStringList values = Values(TWO_ZONES, QVector<QString>(27, "InspectionZone").toList());
    EXPECT_EQ(values.first(), "Zone A");
    EXPECT_EQ(values.at(2), "Zone C");
    EXPECT_EQ(values.at(25), "Zone Z");
    EXPECT_EQ(values.last(), "Zone [");
}

TEST_F(XmlParserTest, DocumentWithoutZones)
{
    EXPECT_THAT(Values("<Site>North</Site>", { "InspectionZone", "Site", "^Passed" }),
        ElementsAre("Zone A", "North", ""));
}

// Look-up by name.
TEST_F(XmlParserTest, NamesAreExactAndUntrimmed)
{
    EXPECT_THAT(Values(TWO_ZONES, { " Site", "site", "Site ", "" }), ElementsAre("", "", "", ""));
}

TEST_F(XmlParserTest, OnlyTheFirstConversionMarkIsRemoved)
{
    EXPECT_THAT(Values("<Ok>TRUE</Ok>", { "^^Ok", "^Ok" }), ElementsAre("", PASS_BADGE));
}

TEST_F(XmlParserTest, NamespacePrefixIsPartOfTheName)
{
    EXPECT_THAT(Values("<q:Site xmlns:q=\"urn:q\">North</q:Site>", { "q:Site", "Site" }),
        ElementsAre("North", ""));
}

TEST_F(XmlParserTest, ValueIsTheWholeTextContent)
{
    EXPECT_THAT(
        Values("<A>x<![CDATA[<y>]]>&amp;<B>z</B></A><C>   </C><D/>", { "A", "B", "C", "D" }),
        ElementsAre("x<y>&z", "z", "", ""));
}

TEST_F(XmlParserTest, EmptyTagListGivesEmptyValues)
{
    QStringList values { "old" };
    EXPECT_TRUE(m_parser.GetTagsData(ReportXml(TWO_ZONES), {}, values));
    EXPECT_THAT(values, IsEmpty());
}

TEST_F(XmlParserTest, OneListAsTagsAndValuesGetsOneValuePerTag)
{
    QStringList list { "Site", "InspectionZone", "^Passed" };
    EXPECT_TRUE(m_parser.GetTagsData(ReportXml(TWO_ZONES), list, list));
    EXPECT_THAT(list, ElementsAre("North", "Zone A", PASS_BADGE));
}

// Malformed XML: false, the caller's list untouched, the faulty line logged.
TEST_F(XmlParserTest, MalformedXmlLeavesTheListAlone)
{
    QStringList values { "kept", "too" };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(m_parser.GetTagsData(
        QString::fromUtf8(ReadFile(DataFile("Malformed.xml"))), { "Site" }, values));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_THAT(log, HasSubstr("GetTagsData::<ERROR "));
    EXPECT_THAT(log, HasSubstr(">::Fail to parse XML text at line 3, column "));
    EXPECT_THAT(log, HasSubstr("\n  <Site>North</Sites>"));
    EXPECT_THAT(values, ElementsAre("kept", "too"));
}

TEST_F(XmlParserTest, ParseErrorBeyondTheLastLineLogsAnEmptyLine)
{
    QStringList values { "kept" };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(m_parser.GetTagsData("", { "Site" }, values));
    EXPECT_THAT(
        testing::internal::GetCapturedStderr(), HasSubstr("Fail to parse XML text at line "));
    EXPECT_THAT(values, ElementsAre("kept"));
}

TEST_F(XmlParserTest, EachCallReplacesTheDocument)
{
    EXPECT_THAT(Values("<Site>North</Site>", { "Site" }), ElementsAre("North"));
    EXPECT_THAT(Values("<Room>7</Room>", { "Site", "Room" }), ElementsAre("", "7"));
}

// Display conversion, with the process time zone fixed to UTC.
struct ConversionCase
{
    const char* name;
    QString value;
    QString converted;
};

void PrintTo(const ConversionCase& row, std::ostream* out)
{
    *out << row.name;
}

class ConvertFieldTest : public XmlParserTest, public testing::WithParamInterface<ConversionCase>
{
};

TEST_P(ConvertFieldTest, GivesTheDisplayForm)
{
    QString value = GetParam().value;
    EXPECT_EQ(m_parser.ConvertField(value), GetParam().converted);
    EXPECT_EQ(value, GetParam().value);
}

const ConversionCase CONVERSION_CASES[] = {
    { "TrueUpper", "TRUE", PASS_BADGE },
    { "TrueLower", "true", PASS_BADGE },
    { "TrueMixed", "True", PASS_BADGE },
    { "FalseUpper", "FALSE", FAIL_BADGE },
    { "FalseLower", "false", FAIL_BADGE },
    { "TrueWithBlank", " TRUE", " TRUE" },
    { "Yes", "yes", "yes" },
    { "One", "1", "01/01/1970 00:00" },
    { "TimeStamp", "1700000000", "14/11/2023 22:13" },
    { "SmallCount", "42", "01/01/1970 00:00" },
    { "Zero", "0", "0" },
    { "Negative", "-5", "-5" },
    { "Fraction", "12.5", "12.5" },
    { "Exponent", "1e3", "1e3" },
    { "Word", "abc", "abc" },
    { "Empty", "", "" },
    { "BeyondCalendar", "99999999999999999", "99999999999999999" },
    { "BeyondLong", "9223372036854775808", "9223372036854775808" },
    { "Markup", "<b>x</b>", "<b>x</b>" },
};

INSTANTIATE_TEST_SUITE_P(Rows, ConvertFieldTest, testing::ValuesIn(CONVERSION_CASES),
    [](const testing::TestParamInfo<ConversionCase>& info) {
        return std::string(info.param.name);
    });

// Reading files.
class XmlFileTest : public XmlParserTest
{
protected:
    QString WriteFile(const char* name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(XmlFileTest, TextIsTheDocumentReserialised)
{
    EXPECT_EQ(m_parser.GetXmlText(DataFile("CheckerResults.xml")),
        "<?xml version='1.0' encoding='UTF-8'?>\n"
        "<!-- Checker results with two inspection zones. -->\n"
        "<CheckerResults>\n"
        " <Site name=\"North\">North</Site>\n"
        " <Operator>Zoë Łukasz</Operator>\n"
        " <InspectionZone ZoneName=\"Core\">\n"
        "  <Passed>TRUE</Passed>\n"
        "  <Defects>0</Defects>\n"
        " </InspectionZone>\n"
        " <InspectionZone ZoneName=\"Cladding\">\n"
        "  <Passed>FALSE</Passed>\n"
        " </InspectionZone>\n"
        "</CheckerResults>\n");
}

TEST_F(XmlFileTest, WindowsLineEndsGiveTheSameText)
{
    const QByteArray unix = ReadFile(DataFile("CheckerResults.xml"));
    QByteArray windows = unix;
    windows.replace("\n", "\r\n");
    const QString fromUnix = m_parser.GetXmlText(WriteFile("unix.xml", unix));
    ASSERT_FALSE(fromUnix.isNull());
    EXPECT_EQ(m_parser.GetXmlText(WriteFile("windows.xml", windows)), fromUnix);
}

TEST_F(XmlFileTest, MissingFileGivesNullText)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(m_parser.GetXmlText(m_dir.filePath("missing.xml")).isNull());
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("GetXmlText::File " + m_dir.filePath("missing.xml").toStdString() + " not open"));
}

TEST_F(XmlFileTest, MalformedFileGivesNullText)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(m_parser.GetXmlText(DataFile("Malformed.xml")).isNull());
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
        HasSubstr("Malformed.xml parsing error at line:3, column:"));
}

TEST_F(XmlFileTest, EmptyFileGivesNullText)
{
    EXPECT_TRUE(m_parser.GetXmlText(WriteFile("empty.xml", "")).isNull());
}

TEST_F(XmlFileTest, OneParserReadsSeveralFiles)
{
    EXPECT_THAT(m_parser.GetXmlText(WriteFile("a.xml", "<a/>")).toStdString(), HasSubstr("<a/>"));
    EXPECT_TRUE(m_parser.GetXmlText(DataFile("Malformed.xml")).isNull());
    EXPECT_THAT(m_parser.GetXmlText(WriteFile("b.xml", "<b/>")).toStdString(), HasSubstr("<b/>"));
}

TEST_F(XmlFileTest, SmallEntitiesAreAccepted)
{
    EXPECT_FALSE(m_parser.GetXmlText(DataFile("SmallEntities.xml")).isNull());
    QStringList values;
    EXPECT_TRUE(m_parser.GetTagsData(
        QString::fromUtf8(ReadFile(DataFile("SmallEntities.xml"))), { "Site", "Room" }, values));
    EXPECT_THAT(values, ElementsAre("Quality Lab & Test", "Quality Lab & Test 2"));
}

// Entity expansion: refused before it can take the memory, without touching the list.
TEST_F(XmlFileTest, BillionLaughsFileIsRefused)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(m_parser.GetXmlText(DataFile("BillionLaughs.xml")).isNull());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("BillionLaughs.xml refused"));
}

TEST_F(XmlFileTest, LargeEntityReferencedOftenIsRefused)
{
    const QString document = RepeatedEntityDocument(4000, 100000);
    EXPECT_TRUE(m_parser.GetXmlText(WriteFile("utf8.xml", document.toUtf8())).isNull());
    QByteArray utf16(reinterpret_cast<const char*>(document.utf16()), document.size() * 2);
    EXPECT_TRUE(m_parser.GetXmlText(WriteFile("utf16.xml", utf16)).isNull());
}

TEST_F(XmlParserTest, ExpandingTextIsRefused)
{
    QStringList values { "kept" };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(m_parser.GetTagsData(
        QString::fromUtf8(ReadFile(DataFile("BillionLaughs.xml"))), {}, values));
    EXPECT_FALSE(m_parser.GetTagsData(RepeatedEntityDocument(4000, 100000), { "r" }, values));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("GetTagsData::XML text refused"));
    EXPECT_THAT(values, ElementsAre("kept"));
}

} // namespace
