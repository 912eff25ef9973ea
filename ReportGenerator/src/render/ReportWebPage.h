// The web page that holds a report.
#ifndef REPORTGENERATOR_REPORTWEBPAGE_H
#define REPORTGENERATOR_REPORTWEBPAGE_H

#include <QWebPage>

// The report is a static document: no scripts, no plugins, no network. It loads exactly
// one document, the staging page, into its main frame; a frame, an object or a refresh
// that would load another document is refused with a level-3 line.
class CReportWebPage : public QWebPage
{
public:
    explicit CReportWebPage(QObject* parent);

protected:
    bool acceptNavigationRequest(
        QWebFrame* frame, const QNetworkRequest& request, NavigationType type) override;

private:
    bool m_documentAccepted = false;
};

#endif
