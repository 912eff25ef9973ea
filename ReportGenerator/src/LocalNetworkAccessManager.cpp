#include "LocalNetworkAccessManager.h"

#include "LogTrace.h"
#include "RefusedNetworkReply.h"

#include <QNetworkRequest>

CLocalNetworkAccessManager::CLocalNetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{ }

bool CLocalNetworkAccessManager::IsLocal(const QUrl& url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("file") || scheme == QLatin1String("data");
}

QNetworkReply* CLocalNetworkAccessManager::createRequest(
    Operation operation, const QNetworkRequest& request, QIODevice* outgoingData)
{
    if (IsLocal(request.url()))
        return QNetworkAccessManager::createRequest(operation, request, outgoingData);
    RG_LOG(LOG_ERR, "%s::Refused request for \"%s\": only local files are read", "createRequest",
        request.url().toString().toLatin1().constData());
    return new CRefusedNetworkReply(operation, request, this);
}
