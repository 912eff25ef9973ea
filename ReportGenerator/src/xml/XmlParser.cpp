#include <ReportGenerator/Translation.h>
#include <ReportGenerator/XmlParser.h>

#include "LogTrace.h"
#include "xml/XmlEntityBudget.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

const char* const GET_XML_TEXT = "GetXmlText";
const char* const GET_TAGS_DATA = "GetTagsData";
const char* const CONVERT_FIELD = "ConvertField";

const QString ZONE_TAG = QStringLiteral("InspectionZone");
const QChar CONVERSION_MARK = QLatin1Char('^');
// Room for the translated word before the zone letter, and for a badge's word.
constexpr size_t ZONE_WORD_SIZE = 20;
constexpr size_t BADGE_WORD_SIZE = 50;

QByteArray latin1(const QString& text)
{
    return text.toLatin1();
}

// "<translation of Zone> " cut to 19 bytes, then the letter A for the first zone, B for
// the second, and so on.
QString zoneLabel(int zoneCounter)
{
    char label[ZONE_WORD_SIZE + 1];
    snprintf(label, ZONE_WORD_SIZE, "%s ", Get_Translation("Zone"));
    const size_t length = strlen(label);
    label[length] = static_cast<char>(static_cast<unsigned char>('A' + zoneCounter));
    label[length + 1] = '\0';
    return QString::fromUtf8(label);
}

QString badge(const char* className, const char* word)
{
    return QStringLiteral("<span class=\"%1\">%2</span>")
        .arg(QLatin1String(className),
            QString::fromUtf8(word, static_cast<int>(strnlen(word, BADGE_WORD_SIZE))));
}

// Positive whole numbers are seconds since the epoch, shown in local time.
QString localDate(const QString& value)
{
    bool isNumber = false;
    const time_t seconds = value.toLong(&isNumber, 10);
    if (!isNumber || seconds <= 0)
        return value;
    const struct tm* local = localtime(&seconds);
    if (!local)
        return value;
    char date[50];
    strftime(date, sizeof date, "%d/%m/%Y %H:%M", local);
    return QString::fromUtf8(date);
}

// Names are compared as written, prefix included: with namespace processing on, Qt's own
// look-ups by tag name compare local names only.
bool isNamed(const QDomElement& element, const QString& name)
{
    return element.nodeName() == name;
}

QDomElement firstChildNamed(const QDomNode& parent, const QString& name)
{
    QDomElement child = parent.firstChildElement();
    while (!child.isNull() && !isNamed(child, name))
        child = child.nextSiblingElement();
    return child;
}

// The element after element in document order (the order of start tags), or null.
QDomElement nextInDocumentOrder(const QDomElement& element)
{
    const QDomElement child = element.firstChildElement();
    if (!child.isNull())
        return child;
    for (QDomNode node = element; node.isElement(); node = node.parentNode()) {
        const QDomElement sibling = node.nextSiblingElement();
        if (!sibling.isNull())
            return sibling;
    }
    return QDomElement();
}

// The element of that name with the given index in document order, or null.
QDomElement namedInDocument(const QDomDocument& document, const QString& name, int index)
{
    for (QDomElement element = document.documentElement(); !element.isNull();
         element = nextInDocumentOrder(element))
        if (isNamed(element, name) && index-- == 0)
            return element;
    return QDomElement();
}

// Resolves tags to values, stepping through the inspection zones at each zone marker.
class CTagResolver
{
public:
    CTagResolver(CXmlParser& parser, const QDomDocument& document)
        : m_parser(parser)
        , m_document(document)
    { }

    QString ValueOf(QString tag)
    {
        const bool convert = tag.startsWith(CONVERSION_MARK);
        if (convert)
            tag.remove(0, 1);
        if (tag == ZONE_TAG)
            return NextZone();
        if (!m_currentZone.isNull()) {
            const QDomElement own = firstChildNamed(m_currentZone, tag);
            return FieldValue(own.isNull() ? FirstInDocument(tag) : own, convert);
        }
        const QDomElement element = FirstInDocument(tag);
        if (element.isNull() || IsBlankedZoneField(tag))
            return QString();
        return FieldValue(element, convert);
    }

private:
    QString NextZone()
    {
        const QString label = zoneLabel(m_zoneCounter);
        m_currentZone = namedInDocument(m_document, ZONE_TAG, m_zoneCounter);
        if (m_zoneCounter == 0)
            m_firstZone = m_currentZone;
        RG_LOG(LOG_DEBUG, "%s::node.toElement().attribute(\"ZoneName\")=\"%s\"", GET_TAGS_DATA,
            latin1(m_currentZone.attribute(QStringLiteral("ZoneName"))).constData());
        ++m_zoneCounter;
        return label;
    }

    QDomElement FirstInDocument(const QString& tag) const
    {
        return namedInDocument(m_document, tag, 0);
    }

    // After a zone marker beyond the document's zones, the zone fields stay empty instead
    // of repeating another zone's values.
    bool IsBlankedZoneField(const QString& tag) const
    {
        return m_zoneCounter != 0 && !firstChildNamed(m_firstZone, tag).isNull();
    }

    QString FieldValue(const QDomElement& element, bool convert)
    {
        QString dataField = element.text();
        if (convert)
            dataField = m_parser.ConvertField(dataField);
        RG_LOG(LOG_DEBUG, "%s::dataField=\"%s\"", GET_TAGS_DATA, latin1(dataField).constData());
        return dataField;
    }

    CXmlParser& m_parser;
    const QDomDocument& m_document;
    QDomElement m_currentZone;
    QDomElement m_firstZone;
    int m_zoneCounter = 0;
};

} // namespace

CXmlParser::CXmlParser() = default;

CXmlParser::~CXmlParser() = default;

QString CXmlParser::GetXmlText(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        RG_LOG(LOG_ERR, "%s::File %s not open", GET_XML_TEXT, latin1(fileName).constData());
        return QString();
    }
    RG_LOG(LOG_DEBUG, "%s::\n\t\tfileName=\"%s\"", GET_XML_TEXT, latin1(fileName).constData());
    const QByteArray content = file.readAll();
    if (!CXmlEntityBudget::AllowsDocument(content)) {
        RG_LOG(LOG_ERR, "%s::File %s refused: its entities expand to more than %lld characters",
            GET_XML_TEXT, latin1(fileName).constData(),
            static_cast<long long>(CXmlEntityBudget::LIMIT));
        return QString();
    }
    QString message;
    int line = 0;
    int column = 0;
    if (!mDomDocument.setContent(content, true, &message, &line, &column)) {
        RG_LOG(LOG_ERR, "%s::File %s parsing error at line:%d, column:%d, error:%s", GET_XML_TEXT,
            latin1(fileName).constData(), line, column, latin1(message).constData());
        return QString();
    }
    mXmlText = mDomDocument.toString(1);
    RG_LOG(LOG_DEBUG, "%s::\n\t\tmXmlText=\"%s\"", GET_XML_TEXT, latin1(mXmlText).constData());
    return mXmlText;
}

bool CXmlParser::GetTagsData(const QString& xmlText, const QStringList& tags, QStringList& values)
{
    RG_LOG(LOG_DEBUG, "XML Text::%s", GET_TAGS_DATA);
    if (!CXmlEntityBudget::Allows(xmlText)) {
        RG_LOG(LOG_ERR, "%s::XML text refused: its entities expand to more than %lld characters",
            GET_TAGS_DATA, static_cast<long long>(CXmlEntityBudget::LIMIT));
        return false;
    }
    QString message;
    int line = 0;
    int column = 0;
    if (!mDomDocument.setContent(xmlText, true, &message, &line, &column)) {
        const int error = errno;
        RG_LOG(LOG_ERR,
            "%s::<ERROR %d>::Fail to parse XML text at line %d, column %d, error %s\n%s",
            GET_TAGS_DATA, error, line, column, latin1(message).constData(),
            latin1(xmlText.split(QLatin1Char('\n')).value(line - 1)).constData());
        return false;
    }
    // A copy first: the caller may pass one list as both tags and values.
    const QStringList workingTags = tags;
    values.clear();
    CTagResolver resolver(*this, mDomDocument);
    for (const QString& tag : workingTags)
        values.append(resolver.ValueOf(tag));
    return true;
}

QString CXmlParser::ConvertField(QString& value)
{
    const QString upper = value.toUpper();
    QString result;
    if (upper == QLatin1String("TRUE"))
        result = badge("Pass", Get_Translation("Pass"));
    else if (upper == QLatin1String("FALSE"))
        result = badge("Fail", Get_Translation("Fail"));
    else
        result = localDate(value);
    RG_LOG(LOG_DEBUG, "%s::Convert:\"%s\" to \"%s\"", CONVERT_FIELD, latin1(value).constData(),
        latin1(result).constData());
    return result;
}
