// The report's XML result data.
#ifndef REPORTGENERATOR_XMLPARSER_H
#define REPORTGENERATOR_XMLPARSER_H

#include <ReportGenerator/reportgenerator_export.h>

#include <QDomDocument>
#include <QString>
#include <QStringList>

class REPORTGENERATOR_EXPORT CXmlParser
{
public:
    CXmlParser();
    ~CXmlParser();

    // The file re-serialised with an indentation of one space, or a null string when it
    // cannot be read, is not well-formed or has entities that expand beyond reason.
    QString GetXmlText(const QString& fileName);
    // One value per tag, in order; false (values untouched) when xmlText is not
    // well-formed. Tags are element names as written, prefix included. "InspectionZone"
    // tags step through the zones; "^" before a name converts its value.
    bool GetTagsData(const QString& xmlText, const QStringList& tags, QStringList& values);
    // Display form of a raw value: Pass/Fail badges, dates, or the value itself.
    QString ConvertField(QString& value);

private:
    QDomDocument mDomDocument;
    QString mXmlText;
};

#endif
