#include "render/LocalNetworkAccessManager.h"

#include "LogTrace.h"
#include "io/RegularFile.h"
#include "render/LocalNetworkReply.h"

#include <QFile>
#include <QNetworkRequest>

namespace {

// Far beyond any page, style sheet or inspection image.
constexpr qint64 FILE_SIZE_LIMIT = 256 * 1024 * 1024;

QString readFailure(const CRegularFile& file)
{
    return QStringLiteral("<ERROR %1> %2")
        .arg(file.Error())
        .arg(QString::fromStdString(file.Reason()));
}

} // namespace

CLocalNetworkAccessManager::CLocalNetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{ }

QString CLocalNetworkAccessManager::Refusal(Operation operation, const QNetworkRequest& request)
{
    const QUrl url = request.url();
    if (url.scheme() != QLatin1String("file") && url.scheme() != QLatin1String("data"))
        return QStringLiteral("only local files are read");
    if (!url.host().isEmpty())
        return QStringLiteral("a file URL with a host names another machine");
    if (operation != GetOperation && operation != HeadOperation)
        return QStringLiteral("report pages only read");
    return QString();
}

QNetworkReply* CLocalNetworkAccessManager::createRequest(
    Operation operation, const QNetworkRequest& request, QIODevice* outgoingData)
{
    QString refusal = Refusal(operation, request);
    if (refusal.isEmpty() && request.url().scheme() == QLatin1String("data"))
        return QNetworkAccessManager::createRequest(operation, request, outgoingData);
    if (refusal.isEmpty()) {
        const QByteArray path = QFile::encodeName(request.url().toLocalFile());
        CRegularFile file(path.constData());
        QByteArray content;
        if (file.IsOpen() && file.ReadAll(content, FILE_SIZE_LIMIT))
            return CLocalNetworkReply::Serving(operation, request, content, this);
        refusal = readFailure(file);
    }
    RG_LOG(LOG_ERR, "%s::Refused request for \"%s\": %s", "createRequest",
        request.url().toString().toLatin1().constData(), refusal.toLatin1().constData());
    return CLocalNetworkReply::Refusing(operation, request, this);
}
