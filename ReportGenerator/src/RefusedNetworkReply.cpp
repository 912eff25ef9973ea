#include "RefusedNetworkReply.h"

CRefusedNetworkReply::CRefusedNetworkReply(
    QNetworkAccessManager::Operation operation, const QNetworkRequest& request, QObject* parent)
    : QNetworkReply(parent)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    setError(ContentAccessDenied, QStringLiteral("Network access is refused for report pages"));
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    setFinished(true);
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit errorOccurred(error());
            emit finished();
        },
        Qt::QueuedConnection);
}

void CRefusedNetworkReply::abort() { }

qint64 CRefusedNetworkReply::readData(char*, qint64)
{
    return -1;
}
