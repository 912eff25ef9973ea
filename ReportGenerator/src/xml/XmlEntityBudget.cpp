#include "xml/XmlEntityBudget.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTextCodec>

#include <algorithm>

namespace {

constexpr qint64 SATURATED = CXmlEntityBudget::LIMIT + 1;
// Entity values are decoded once when declared and once more when expanded; a few more
// passes cover what a lenient parser might do on top of that.
constexpr int MAX_DECODING_PASSES = 4;
// Deeper nesting than this is no honest document's, and would only deepen the recursion.
constexpr int MAX_NESTING = 32;

qint64 saturatingSum(qint64 a, qint64 b)
{
    return std::min(a + b, SATURATED);
}

bool isNameCharacter(QChar c)
{
    return !c.isSpace() && !QStringLiteral("&%;<>\"'").contains(c);
}

// Entities are keyed by their reference prefix and name: "&name" or "%name".
template <typename Visit> void forEachReference(const QString& text, Visit visit)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&') && c != QLatin1Char('%'))
            continue;
        int end = i + 1;
        while (end < text.size() && isNameCharacter(text.at(end)))
            ++end;
        if (end > i + 1 && end < text.size() && text.at(end) == QLatin1Char(';'))
            visit(c + text.mid(i + 1, end - i - 1));
        i = end - 1;
    }
}

// Replaces the character references of text; false when it holds none.
bool decodeCharacterReferences(QString& text)
{
    static const QRegularExpression reference(
        QStringLiteral("&#(?:x([0-9A-Fa-f]{1,6})|([0-9]{1,7}));"));
    QString decoded;
    int copied = 0;
    QRegularExpressionMatchIterator matches = reference.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const bool hexadecimal = match.capturedLength(1) > 0;
        const uint code =
            match.captured(hexadecimal ? 1 : 2).toUInt(nullptr, hexadecimal ? 16 : 10);
        decoded += text.midRef(copied, match.capturedStart() - copied);
        decoded += QString::fromUcs4(&code, 1);
        copied = match.capturedEnd();
    }
    if (copied == 0)
        return false;
    decoded += text.midRef(copied);
    text = decoded;
    return true;
}

class CEntityTable
{
public:
    explicit CEntityTable(const QString& text) { Collect(text, 0); }

    qint64 ExpandedLength(const QString& key) { return ExpandedLength(key, 0); }

private:
    // Declarations are also looked for inside decoded values, where a parameter entity
    // may carry them. Text that only looks like a declaration, in a comment or after a
    // value without its closing quote, adds entities that are never used: harmless here.
    void Collect(const QString& text, int depth)
    {
        static const QRegularExpression declaration(
            QStringLiteral("<!ENTITY\\s+(%\\s+)?([^\\s&%;<>\"']+)\\s+(?:\"([^\"]*)\"|'([^']*)')"));
        QRegularExpressionMatchIterator matches = declaration.globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            QString value = match.captured(match.capturedStart(3) >= 0 ? 3 : 4);
            decodeCharacterReferences(value);
            const QChar prefix = match.capturedLength(1) ? QLatin1Char('%') : QLatin1Char('&');
            m_values[prefix + match.captured(2)].append(value);
            if (depth < MAX_NESTING)
                Collect(value, depth + 1);
        }
    }

    qint64 ExpandedLength(const QString& key, int depth)
    {
        const auto known = m_lengths.constFind(key);
        if (known != m_lengths.constEnd())
            return *known;
        const auto values = m_values.constFind(key);
        if (values == m_values.constEnd())
            return 0;
        if (depth > MAX_NESTING)
            return SATURATED;
        // A reference cycle expands without end.
        m_lengths.insert(key, SATURATED);
        qint64 longest = 0;
        for (const QString& value : *values)
            longest = std::max(longest, ValueLength(value, depth));
        m_lengths.insert(key, longest);
        return longest;
    }

    qint64 ValueLength(QString value, int depth)
    {
        int passes = 0;
        while (decodeCharacterReferences(value))
            if (++passes > MAX_DECODING_PASSES)
                return SATURATED;
        qint64 length = value.size();
        forEachReference(value, [&](const QString& key) {
            length = saturatingSum(length, ExpandedLength(key, depth + 1));
        });
        return length;
    }

    QHash<QString, QStringList> m_values;
    QHash<QString, qint64> m_lengths;
};

// The encoding the XML reader would pick: byte order mark, then the layout of "<" in
// the wider encodings, then the encoding declaration, else UTF-8.
QTextCodec* documentCodec(const QByteArray& document)
{
    if (QTextCodec* marked = QTextCodec::codecForUtfText(document, nullptr))
        return marked;
    static const struct
    {
        QByteArray start;
        const char* codec;
    } wide[] = { { QByteArray("<\0\0\0", 4), "UTF-32LE" }, { QByteArray("\0\0\0<", 4), "UTF-32BE" },
        { QByteArray("<\0", 2), "UTF-16LE" }, { QByteArray("\0<", 2), "UTF-16BE" } };
    for (const auto& layout : wide)
        if (document.startsWith(layout.start))
            return QTextCodec::codecForName(layout.codec);
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch match =
        declaration.match(QString::fromLatin1(document.left(256)));
    QTextCodec* declared =
        match.hasMatch() ? QTextCodec::codecForName(match.captured(1).toLatin1()) : nullptr;
    return declared ? declared : QTextCodec::codecForMib(106);
}

} // namespace

qint64 CXmlEntityBudget::ExpandedCharacters(const QString& text)
{
    if (!text.contains(QLatin1String("<!ENTITY")))
        return 0;
    CEntityTable entities(text);
    qint64 total = 0;
    forEachReference(text,
        [&](const QString& key) { total = saturatingSum(total, entities.ExpandedLength(key)); });
    return total;
}

bool CXmlEntityBudget::Allows(const QString& text)
{
    return ExpandedCharacters(text) <= LIMIT;
}

bool CXmlEntityBudget::AllowsDocument(const QByteArray& document)
{
    // Without a declaration no reference can expand.
    if (!document.contains('\0') && !document.contains("<!ENTITY"))
        return true;
    return Allows(documentCodec(document)->toUnicode(document));
}
