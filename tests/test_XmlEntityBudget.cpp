#include "xml/XmlEntityBudget.h"

#include <QDomDocument>
#include <QTextCodec>
#include <gtest/gtest.h>

namespace {

// Ways to make a few bytes of XML expand into much text: declarations, where TEXT stands
// for the text of one entity, and the body that is repeated to reference it.
struct ExpansionCase
{
    const char* name;
    const char* declarations;
    const char* body;
};

void PrintTo(const ExpansionCase& row, std::ostream* out)
{
    *out << row.name;
}

QString Document(const QString& declarations, const QString& body, int count)
{
    return "<!DOCTYPE r [" + declarations + "]>\n<r>" + body.repeated(count) + "</r>\n";
}

QString Document(const ExpansionCase& row, int textSize, int count)
{
    return Document(
        QString(row.declarations).replace("TEXT", QString(textSize, 'x')), row.body, count);
}

const ExpansionCase EXPANSION_CASES[] = {
    { "Plain", "<!ENTITY a \"TEXT\">", "&a;" },
    { "InAttribute", "<!ENTITY a \"TEXT\">", "<e v=\"&a;\"/>" },
    { "Nested", "<!ENTITY a \"TEXT\"><!ENTITY b \"&a;&a;\">", "&b;" },
    { "HiddenByCharacterReference", "<!ENTITY a \"TEXT\"><!ENTITY b \"&#38;a;&#x26;a;\">", "&b;" },
    { "QuoteByCharacterReference", "<!ENTITY a \"TEXT\"><!ENTITY b \"&#34;&a;&a;\">", "&b;" },
    { "DeclaredByParameterEntity", "<!ENTITY % p \"<!ENTITY a 'TEXT'>\"> %p;", "&a;" },
    { "DeclaredByEncodedParameterEntity",
        "<!ENTITY % p \"&#60;!ENTITY a &#39;TEXT&#39;&#62;\"> %p;", "&a;" },
    { "ParameterEntityInValue", "<!ENTITY % p \"TEXT\"><!ENTITY a \"%p;\">", "&a;" },
    { "Redeclared", "<!ENTITY a \"TEXT\"><!ENTITY a \"x\">", "&a;" },
};

// Characters of text and attribute values in the parsed document.
qint64 ParsedCharacters(const QDomNode& node)
{
    qint64 total = node.isCharacterData() ? node.toCharacterData().length() : 0;
    const QDomNamedNodeMap attributes = node.attributes();
    for (int i = 0; i < attributes.count(); ++i)
        total += attributes.item(i).nodeValue().size();
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        total += ParsedCharacters(child);
    return total;
}

class ExpansionTest : public testing::TestWithParam<ExpansionCase>
{
};

TEST_P(ExpansionTest, BoundCoversWhatTheParserBuilds)
{
    const QString document = Document(GetParam(), 100, 10);
    QDomDocument parsed;
    ASSERT_TRUE(parsed.setContent(document, true));
    const qint64 parsedCharacters = ParsedCharacters(parsed);
    EXPECT_GE(parsedCharacters, 1000);
    EXPECT_GE(CXmlEntityBudget::ExpandedCharacters(document), parsedCharacters);
    EXPECT_TRUE(CXmlEntityBudget::Allows(document));
}

TEST_P(ExpansionTest, LargeExpansionIsRefused)
{
    EXPECT_FALSE(CXmlEntityBudget::Allows(Document(GetParam(), 4000, 1000)));
}

INSTANTIATE_TEST_SUITE_P(Rows, ExpansionTest, testing::ValuesIn(EXPANSION_CASES),
    [](const testing::TestParamInfo<ExpansionCase>& info) { return std::string(info.param.name); });

TEST(CXmlEntityBudget, DocumentWithoutDeclarationsExpandsNothing)
{
    EXPECT_EQ(CXmlEntityBudget::ExpandedCharacters("<r a=\"&amp;\">&lt;&#60;&undeclared;</r>"), 0);
}

TEST(CXmlEntityBudget, CycleIsRefused)
{
    EXPECT_FALSE(
        CXmlEntityBudget::Allows(Document("<!ENTITY a \"&b;\"><!ENTITY b \"x&a;\">", "&a;", 1)));
}

TEST(CXmlEntityBudget, DeepChainEndsTheLookAhead)
{
    QString declarations;
    for (int i = 20000; i > 0; --i)
        declarations += QString("<!ENTITY e%1 \"&e%2;\">").arg(i).arg(i - 1);
    EXPECT_FALSE(
        CXmlEntityBudget::Allows(Document(declarations + "<!ENTITY e0 \"x\">", "&e20000;", 1)));
}

TEST(CXmlEntityBudget, ReferencesInsideAnUnterminatedValueCount)
{
    const QString document = "<!DOCTYPE r [<!ENTITY % p \"" + QString(4000, 'x') + "\"><!ENTITY a '"
        + QString("%p;").repeated(1000);
    EXPECT_FALSE(CXmlEntityBudget::Allows(document));
}

// Encoded documents are decoded as the XML reader decodes them.
QByteArray Encoded(const QString& text, const char* codec)
{
    return QTextCodec::codecForName(codec)->fromUnicode(text);
}

TEST(CXmlEntityBudget, EncodedDocumentsAreDecodedFirst)
{
    const QString large = Document(EXPANSION_CASES[0], 4000, 1000);
    for (const char* codec : { "UTF-8", "UTF-16", "UTF-16LE", "UTF-32", "UTF-32LE", "ISO-8859-1" })
        EXPECT_FALSE(CXmlEntityBudget::AllowsDocument(Encoded(large, codec))) << codec;
    const QString declared = "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>\n" + large;
    EXPECT_FALSE(CXmlEntityBudget::AllowsDocument(Encoded(declared, "ISO-2022-JP")));
    EXPECT_TRUE(
        CXmlEntityBudget::AllowsDocument(Encoded(Document(EXPANSION_CASES[0], 1, 10), "UTF-16LE")));
    EXPECT_TRUE(CXmlEntityBudget::AllowsDocument("<r>&amp;</r>"));
}

} // namespace
