#include "render/LocalNetworkReply.h"

#include <cstring>

CLocalNetworkReply::CLocalNetworkReply(QNetworkAccessManager::Operation operation,
    const QNetworkRequest& request, const QByteArray& content, QObject* parent)
    : QNetworkReply(parent)
    , m_content(content)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

CLocalNetworkReply* CLocalNetworkReply::Serving(QNetworkAccessManager::Operation operation,
    const QNetworkRequest& request, const QByteArray& content, QObject* parent)
{
    auto* reply = new CLocalNetworkReply(operation, request, content, parent);
    reply->setHeader(QNetworkRequest::ContentLengthHeader, content.size());
    reply->Finish();
    return reply;
}

CLocalNetworkReply* CLocalNetworkReply::Refusing(
    QNetworkAccessManager::Operation operation, const QNetworkRequest& request, QObject* parent)
{
    auto* reply = new CLocalNetworkReply(operation, request, QByteArray(), parent);
    reply->setError(ContentAccessDenied, QStringLiteral("Refused for report pages"));
    reply->Finish();
    return reply;
}

void CLocalNetworkReply::abort() { }

qint64 CLocalNetworkReply::bytesAvailable() const
{
    return m_content.size() - m_offset + QNetworkReply::bytesAvailable();
}

qint64 CLocalNetworkReply::readData(char* data, qint64 maxSize)
{
    if (m_offset >= m_content.size())
        return error() == NoError ? 0 : -1;
    const qint64 count = qMin(maxSize, m_content.size() - m_offset);
    if (count > 0)
        memcpy(data, m_content.constData() + m_offset, static_cast<size_t>(count));
    m_offset += count;
    return count;
}

// Signals are queued: the receiver connects to them only after the reply is returned.
void CLocalNetworkReply::Finish()
{
    setFinished(true);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (error() != NoError) {
                emit errorOccurred(error());
            } else {
                emit metaDataChanged();
                emit downloadProgress(m_content.size(), m_content.size());
                if (!m_content.isEmpty())
                    emit readyRead();
            }
            emit finished();
        },
        Qt::QueuedConnection);
}
