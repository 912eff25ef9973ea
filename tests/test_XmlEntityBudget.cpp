#include "xml/XmlEntityBudget.h"

#include "TableTest.h"

#include <QTextCodec>

// A document whose declarations (TEXT standing for size characters) are referenced by
// count copies of body.
QString document(const char* declarations, int size, const char* body, int count)
{
    return "<!DOCTYPE r [" + QString(declarations).replace("TEXT", QString(size, 'x')) + "]>\n<r>"
        + QString(body).repeated(count) + "</r>\n";
}

// Ways to make a few bytes expand into much text: name, declarations, the body that
// references them.
const std::tuple<const char*, const char*, const char*> EXPANSIONS[] = {
    { "Plain", "<!ENTITY a \"TEXT\">", "&a;" },
    { "Nested", "<!ENTITY a \"TEXT\"><!ENTITY b \"&a;&a;\">", "&b;" },
    { "HiddenByCharacterReferences", "<!ENTITY a \"TEXT\"><!ENTITY b \"&#38;a;&#x26;a;\">", "&b;" },
    { "DeclaredByParameterEntity", "<!ENTITY % p \"<!ENTITY a 'TEXT'>\"> %p;", "&a;" },
    { "DeclaredByEncodedParameterEntity",
        "<!ENTITY % p \"&#60;!ENTITY a &#39;TEXT&#39;&#62;\"> %p;", "&a;" },
    { "ParameterEntityInValue", "<!ENTITY % p \"TEXT\"><!ENTITY a \"%p;\">", "&a;" },
};

TABLE_TEST(Table, EntityBudget, RefusesMoreThanOneMebiCharacters, EXPANSIONS)
{
    const auto& [name, declarations, body] = GetParam();
    EXPECT_FALSE(CXmlEntityBudget::Allows(document(declarations, 4000, body, 300)));
    EXPECT_TRUE(CXmlEntityBudget::Allows(document(declarations, 100, body, 10)));
}

TEST(XmlEntityBudget, LimitIsOneMebiCharactersAndCyclesOrDeepChainsExceedIt)
{
    const char* plain = "<!ENTITY a \"TEXT\">";
    EXPECT_FALSE(
        CXmlEntityBudget::Allows(document("<!ENTITY a \"&b;\"><!ENTITY b \"x&a;\">", 0, "&a;", 1)));
    // A chain of small entities nested deeper than any honest document's, the deepest first.
    QString chain = "<!ENTITY e0 \"x\">";
    for (int i = 1; i <= 100; ++i)
        chain.prepend(QString("<!ENTITY e%1 \"&e%2;\">").arg(i).arg(i - 1));
    EXPECT_FALSE(CXmlEntityBudget::Allows(document(chain.toUtf8(), 0, "&e100;", 1)));
    // Exactly 1 Mi characters are allowed, in any encoding the XML reader decodes.
    for (const char* codec : { "UTF-8", "UTF-16", "UTF-16LE", "UTF-32", "ISO-8859-1" }) {
        QTextCodec* encoding = QTextCodec::codecForName(codec);
        EXPECT_FALSE(CXmlEntityBudget::AllowsDocument(
            encoding->fromUnicode(document(plain, 1024, "&a;", 1025))))
            << codec;
        EXPECT_TRUE(CXmlEntityBudget::AllowsDocument(
            encoding->fromUnicode(document(plain, 1024, "&a;", 1024))));
    }
}
