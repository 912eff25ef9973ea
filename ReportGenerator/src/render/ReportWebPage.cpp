#include "render/ReportWebPage.h"

#include "LogTrace.h"
#include "render/LocalNetworkAccessManager.h"

#include <QNetworkRequest>
#include <QWebSettings>

CReportWebPage::CReportWebPage(QObject* parent)
    : QWebPage(parent)
{
    setNetworkAccessManager(new CLocalNetworkAccessManager(this));
    QWebSettings* page = settings();
    // A script that never ends would hold the host: the load wait cannot interrupt it.
    page->setAttribute(QWebSettings::JavascriptEnabled, false);
    page->setAttribute(QWebSettings::PluginsEnabled, false);
    page->setAttribute(QWebSettings::DnsPrefetchEnabled, false);
}

bool CReportWebPage::acceptNavigationRequest(
    QWebFrame* frame, const QNetworkRequest& request, NavigationType)
{
    if (frame == mainFrame() && !m_documentAccepted) {
        m_documentAccepted = true;
        return true;
    }
    RG_LOG(LOG_ERR, "%s::Refused request for \"%s\": the report page is the only document loaded",
        "acceptNavigationRequest", request.url().toString().toLatin1().constData());
    return false;
}
