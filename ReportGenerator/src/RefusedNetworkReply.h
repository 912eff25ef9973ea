// The answer to a request that the report page may not make.
#ifndef REPORTGENERATOR_REFUSEDNETWORKREPLY_H
#define REPORTGENERATOR_REFUSEDNETWORKREPLY_H

#include <QNetworkAccessManager>
#include <QNetworkReply>

// A reply that has failed with ContentAccessDenied before anything was sent. It finishes
// from the event loop, as real replies do, so that the page sees an ordinary failed load.
class CRefusedNetworkReply : public QNetworkReply
{
public:
    CRefusedNetworkReply(QNetworkAccessManager::Operation operation, const QNetworkRequest& request,
        QObject* parent);

    void abort() override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
};

#endif
