// Network access of the report page: local files and inline data only.
#ifndef REPORTGENERATOR_LOCALNETWORKACCESSMANAGER_H
#define REPORTGENERATOR_LOCALNETWORKACCESSMANAGER_H

#include <QNetworkAccessManager>

// The page is the instrument's own content, but XML values reach it unescaped: a value
// holding markup must not make the instrument fetch anything from the network. Requests
// for "file" and "data" URLs go through; every other scheme gets a failed reply.
class CLocalNetworkAccessManager : public QNetworkAccessManager
{
public:
    explicit CLocalNetworkAccessManager(QObject* parent);

    static bool IsLocal(const QUrl& url);

protected:
    QNetworkReply* createRequest(
        Operation operation, const QNetworkRequest& request, QIODevice* outgoingData) override;
};

#endif
