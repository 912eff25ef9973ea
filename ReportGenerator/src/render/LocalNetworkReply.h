// Replies of the report page's network access: a local file already read, or a refusal.
#ifndef REPORTGENERATOR_LOCALNETWORKREPLY_H
#define REPORTGENERATOR_LOCALNETWORKREPLY_H

#include <QNetworkAccessManager>
#include <QNetworkReply>

// Finished as soon as the event loop runs: nothing is fetched after the reply is made.
class CLocalNetworkReply : public QNetworkReply
{
public:
    static CLocalNetworkReply* Serving(QNetworkAccessManager::Operation operation,
        const QNetworkRequest& request, const QByteArray& content, QObject* parent);
    // Fails with ContentAccessDenied without connecting anywhere.
    static CLocalNetworkReply* Refusing(QNetworkAccessManager::Operation operation,
        const QNetworkRequest& request, QObject* parent);

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;

private:
    CLocalNetworkReply(QNetworkAccessManager::Operation operation, const QNetworkRequest& request,
        const QByteArray& content, QObject* parent);
    void Finish();

    QByteArray m_content;
    qint64 m_offset = 0;
};

#endif
