// Refuses XML whose internal entities would expand into more text than a report needs.
#ifndef REPORTGENERATOR_XMLENTITYBUDGET_H
#define REPORTGENERATOR_XMLENTITYBUDGET_H

#include <QByteArray>
#include <QString>

// The DOM parser stops entities nested exponentially ("billion laughs") but neither a
// large entity referenced many times nor references hidden behind character references
// or parameter entities: a few hundred kilobytes of such XML take gigabytes. The check
// works on the raw text before parsing and errs on the side of counting too much.
class CXmlEntityBudget
{
public:
    // Most characters that the entity references of one document may expand to.
    static constexpr qint64 LIMIT = 1 << 20;

    // An upper bound on the characters that the entity references of text expand to,
    // saturating at LIMIT + 1.
    static qint64 ExpandedCharacters(const QString& text);
    static bool Allows(const QString& text);
    // The same for an encoded document, decoded as the XML reader would decode it.
    static bool AllowsDocument(const QByteArray& document);
};

#endif
