// Network access of the report page: local regular files and inline data only.
#ifndef REPORTGENERATOR_LOCALNETWORKACCESSMANAGER_H
#define REPORTGENERATOR_LOCALNETWORKACCESSMANAGER_H

#include <QNetworkAccessManager>

// The page is the instrument's own content, but XML values reach it unescaped: a value
// holding markup must make the instrument fetch nothing from the network, wait on nothing
// and read nothing but regular files. "data" URLs go through; a "file" URL without a host
// is read here when it names a regular file. Everything else gets a failed reply at once,
// with a level-3 line.
class CLocalNetworkAccessManager : public QNetworkAccessManager
{
public:
    explicit CLocalNetworkAccessManager(QObject* parent);

    // Why the request is refused before anything is read; empty when it may be served.
    static QString Refusal(Operation operation, const QNetworkRequest& request);

protected:
    QNetworkReply* createRequest(
        Operation operation, const QNetworkRequest& request, QIODevice* outgoingData) override;
};

#endif
