// The bundled example report: its catalogs translate every label of its template, its
// sample XML holds every field that the template names, and its images were drawn.
#include "localisation/Languages.h"
#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/ReportGenerator.h>

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <string>

namespace {

const QString exampleDir = QStringLiteral(RG_EXAMPLE_DIR);
const QString templatePath = exampleDir + QStringLiteral("/report/EndFaceReport.htm");
const QString zoneMarker = QStringLiteral("InspectionZone");
// Words that the library translates itself, beside the template's labels.
const QStringList libraryWords = { QStringLiteral("Zone"), QStringLiteral("Pass"),
    QStringLiteral("Fail") };
// Bytes that the library keeps of a translated zone word (before the space and the
// letter) and of a badge word.
constexpr int zoneWordLimit = 18;
constexpr int badgeWordLimit = 50;

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

// Items of one kind of marker ({~label~}, {@tag@}, {$image$}); markers never span lines.
QStringList markerItems(QChar sign)
{
    const QString escaped = QRegularExpression::escape(sign);
    const QRegularExpression marker(QStringLiteral("\\{%1(.*?)%1\\}").arg(escaped));
    QStringList items;
    const QString text = QString::fromUtf8(readBytes(templatePath));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        auto matches = marker.globalMatch(line);
        while (matches.hasNext())
            items << matches.next().captured(1);
    }
    return items;
}

QStringList templateLabels()
{
    return markerItems(QLatin1Char('~'));
}
QStringList templateTags()
{
    return markerItems(QLatin1Char('@'));
}
QStringList templateImages()
{
    return markerItems(QLatin1Char('$'));
}

QStringList textsToTranslate()
{
    QStringList texts = templateLabels() + libraryWords;
    texts.removeDuplicates();
    return texts;
}

struct PoEntry
{
    QString msgid;
    QString msgstr;
    bool fuzzy = false;
};

QString unquote(const QString& quoted)
{
    QString text = quoted.mid(1, quoted.size() - 2);
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    text.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return text;
}

// Entries of a .po file, the header (empty msgid) included.
QList<PoEntry> readPo(const QString& path)
{
    QList<PoEntry> entries;
    QString* field = nullptr;
    bool fuzzy = false;
    for (const QString& rawLine : QString::fromUtf8(readBytes(path)).split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QStringLiteral("#,")) && line.contains(QStringLiteral("fuzzy"))) {
            fuzzy = true;
        } else if (line.startsWith(QStringLiteral("msgid "))) {
            entries.append(PoEntry { unquote(line.mid(6)), QString(), fuzzy });
            field = &entries.last().msgid;
            fuzzy = false;
        } else if (line.startsWith(QStringLiteral("msgstr ")) && field) {
            field = &entries.last().msgstr;
            *field = unquote(line.mid(7));
        } else if (line.startsWith(QLatin1Char('"')) && field) {
            *field += unquote(line);
        }
    }
    return entries;
}

QHash<QString, PoEntry> byMsgid(const QList<PoEntry>& entries)
{
    QHash<QString, PoEntry> map;
    for (const PoEntry& entry : entries)
        map.insert(entry.msgid, entry);
    return map;
}

QString poPath(const std::string& locale)
{
    return exampleDir + QStringLiteral("/po/") + QString::fromStdString(locale)
        + QStringLiteral(".po");
}

std::string moPath(const std::string& locale)
{
    return std::string(RG_EXAMPLE_LOCALE_DIR) + "/" + locale
        + "/LC_MESSAGES/" RG_EXAMPLE_PACKAGE ".mo";
}

QDomDocument exampleDocument()
{
    const QByteArray customer = readBytes(exampleDir + QStringLiteral("/data/CustomerInfo.xml"));
    const QByteArray checker = readBytes(exampleDir + QStringLiteral("/data/CheckerResults.xml"));
    QDomDocument document;
    QString error;
    int line = 0;
    const QString text = QStringLiteral("<ReportGenerator>") + QString::fromUtf8(customer)
        + QString::fromUtf8(checker) + QStringLiteral("</ReportGenerator>");
    EXPECT_TRUE(document.setContent(text, true, &error, &line))
        << error.toStdString() << " at line " << line;
    return document;
}

QString withoutConversionMark(const QString& tag)
{
    return tag.startsWith(QLatin1Char('^')) ? tag.mid(1) : tag;
}

bool hasDirectChild(const QDomElement& parent, const QString& name)
{
    return !parent.firstChildElement(name).isNull();
}

const std::string reportLocales[] = { "en_US", "fr_FR", "de_DE", "es_ES", "it_IT", "pt_PT", "pl_PL",
    "ru_RU", "tr_TR", "zh_CN", "zh_TW", "ko_KR", "ja_JP", "sv_SE", "nb_NO", "cs_CZ", "hu_HU",
    "fi_FI" };

} // namespace

// Template

TEST(ExampleTemplate, LabelsAreTrimmedAsciiKeys)
{
    const QStringList labels = templateLabels();
    ASSERT_FALSE(labels.isEmpty());
    // The library looks labels up by their Latin-1 bytes, untrimmed.
    for (const QString& label : labels) {
        EXPECT_EQ(label, label.trimmed()) << label.toStdString();
        EXPECT_FALSE(label.isEmpty());
        for (QChar c : label)
            EXPECT_LT(c.unicode(), 128) << label.toStdString();
    }
}

TEST(ExampleTemplate, IsAsciiAndDeclaresLatin1)
{
    const QByteArray bytes = readBytes(templatePath);
    for (char c : bytes)
        ASSERT_GE(c, 0) << "non-ASCII byte in the template";
    EXPECT_TRUE(bytes.contains("content=\"text/html; charset=ISO-8859-1\""));
}

TEST(ExampleTemplate, HasFourZoneTables)
{
    EXPECT_EQ(templateTags().count(zoneMarker), 4);
}

TEST(ExampleTemplate, NamesTwoInspectionImagesThenALogoBesideIt)
{
    const QStringList images = templateImages();
    ASSERT_EQ(images.size(), 3);
    // The last image marker names a file in the template's own directory.
    EXPECT_TRUE(QFile::exists(exampleDir + QStringLiteral("/report/") + images.last()));
}

TEST(ExampleTemplate, TemplateOfTheCatalogsListsExactlyTheTextsToTranslate)
{
    QSet<QString> potIds;
    for (const PoEntry& entry : readPo(exampleDir + QStringLiteral("/po/DovaReport.pot"))) {
        if (!entry.msgid.isEmpty())
            potIds.insert(entry.msgid);
    }
    const QStringList texts = textsToTranslate();
    EXPECT_EQ(potIds, QSet<QString>(texts.begin(), texts.end()));
}

// Catalogs, one row per report language

class ExampleCatalog : public testing::TestWithParam<std::string>
{
protected:
    QHash<QString, PoEntry> entries = byMsgid(readPo(poPath(GetParam())));
};

TEST(ExampleCatalogs, CoverEveryLanguageOfTheTable)
{
    for (int index = 0; index < GetNumLanguages(); ++index) {
        const std::string code = LocaleCodeOfLanguage(GetLanguage(index));
        EXPECT_NE(std::find(std::begin(reportLocales), std::end(reportLocales), code),
            std::end(reportLocales))
            << code;
    }
}

TEST_P(ExampleCatalog, TranslatesEveryLabel)
{
    for (const QString& text : textsToTranslate()) {
        ASSERT_TRUE(entries.contains(text)) << text.toStdString();
        EXPECT_FALSE(entries[text].msgstr.isEmpty()) << text.toStdString();
        EXPECT_FALSE(entries[text].fuzzy) << text.toStdString();
    }
}

TEST_P(ExampleCatalog, DeclaresUtf8ItsLanguageAndPluralForms)
{
    const QString header = entries.value(QString()).msgstr;
    EXPECT_TRUE(header.contains(QStringLiteral("Content-Type: text/plain; charset=UTF-8\n")));
    EXPECT_TRUE(
        header.contains(QStringLiteral("Language: %1\n").arg(QString::fromStdString(GetParam()))));
    EXPECT_TRUE(header.contains(QStringLiteral("Plural-Forms: nplurals=")));
}

TEST_P(ExampleCatalog, MsgfmtFindsNothingUntranslatedOrFuzzy)
{
    QProcess msgfmt;
    msgfmt.start(QStringLiteral(RG_MSGFMT),
        { QStringLiteral("--check"), QStringLiteral("--statistics"), QStringLiteral("-o"),
            QStringLiteral("/dev/null"), poPath(GetParam()) });
    ASSERT_TRUE(msgfmt.waitForFinished(60000));
    EXPECT_EQ(msgfmt.exitCode(), 0);
    const QString statistics = QString::fromUtf8(msgfmt.readAllStandardError()).trimmed();
    EXPECT_EQ(statistics, QStringLiteral("%1 translated messages.").arg(textsToTranslate().size()));
}

TEST_P(ExampleCatalog, CompiledCatalogServesEveryLabel)
{
    CReadMoFile catalog(moPath(GetParam()).c_str());
    for (const QString& text : textsToTranslate()) {
        const QByteArray key = text.toLatin1();
        const char* translation = catalog.text_lookup(key.constData());
        // A text without an entry comes back as the very pointer given.
        EXPECT_NE(translation, key.constData()) << text.toStdString();
        EXPECT_EQ(QString::fromUtf8(translation), entries[text].msgstr) << text.toStdString();
    }
}

TEST_P(ExampleCatalog, ZoneAndBadgeWordsFitTheLibrarysBuffers)
{
    EXPECT_LE(entries[QStringLiteral("Zone")].msgstr.toUtf8().size(), zoneWordLimit);
    EXPECT_LE(entries[QStringLiteral("Pass")].msgstr.toUtf8().size(), badgeWordLimit);
    EXPECT_LE(entries[QStringLiteral("Fail")].msgstr.toUtf8().size(), badgeWordLimit);
}

INSTANTIATE_TEST_SUITE_P(ReportLanguages, ExampleCatalog, testing::ValuesIn(reportLocales),
    [](const testing::TestParamInfo<std::string>& row) { return row.param; });

// Sample XML

TEST(ExampleData, FragmentsCarryNoXmlDeclaration)
{
    for (const char* name : { "/data/CustomerInfo.xml", "/data/CheckerResults.xml" })
        EXPECT_FALSE(readBytes(exampleDir + QString::fromLatin1(name)).contains("<?xml")) << name;
}

TEST(ExampleData, HasFourNamedZones)
{
    const QDomNodeList zones = exampleDocument().elementsByTagName(zoneMarker);
    ASSERT_EQ(zones.size(), 4);
    for (int i = 0; i < zones.size(); ++i)
        EXPECT_TRUE(zones.item(i).toElement().hasAttribute(QStringLiteral("ZoneName")));
}

TEST(ExampleData, HoldsEveryFieldOfTheTemplate)
{
    const QDomDocument document = exampleDocument();
    const QDomNodeList zones = document.elementsByTagName(zoneMarker);
    ASSERT_FALSE(zones.isEmpty());
    for (const QString& tag : templateTags()) {
        const QString name = withoutConversionMark(tag);
        if (name == zoneMarker)
            continue;
        EXPECT_FALSE(document.elementsByTagName(name).isEmpty()) << name.toStdString();
        // A zone field missing from one zone would show another zone's value.
        if (!hasDirectChild(zones.item(0).toElement(), name))
            continue;
        for (int i = 0; i < zones.size(); ++i)
            EXPECT_TRUE(hasDirectChild(zones.item(i).toElement(), name))
                << name.toStdString() << " in zone " << i;
    }
}

TEST(ExampleData, ConvertedFieldsHoldVerdictsOrTimeStamps)
{
    const QDomDocument document = exampleDocument();
    const QRegularExpression convertible(QStringLiteral("^(TRUE|FALSE|[1-9][0-9]*)$"));
    for (const QString& tag : templateTags()) {
        if (!tag.startsWith(QLatin1Char('^')))
            continue;
        const QDomNodeList fields = document.elementsByTagName(tag.mid(1));
        for (int i = 0; i < fields.size(); ++i)
            EXPECT_TRUE(convertible.match(fields.item(i).toElement().text()).hasMatch())
                << tag.toStdString();
    }
}

// Images

class ExampleImage : public testing::TestWithParam<std::string>
{
};

TEST_P(ExampleImage, IsAPngOfTheInstrumentsSize)
{
    QImageReader reader(
        QStringLiteral(RG_EXAMPLE_IMAGE_DIR "/%1.png").arg(QString::fromStdString(GetParam())));
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(480, 480));
    // The end face is lit in the middle and the field of view is dark at the corners.
    EXPECT_GT(qGray(image.pixel(240, 240)), 120);
    EXPECT_LT(qGray(image.pixel(2, 2)), 40);
}

INSTANTIATE_TEST_SUITE_P(Magnifications, ExampleImage, testing::Values("lowmag", "highmag"),
    [](const testing::TestParamInfo<std::string>& row) { return row.param; });
