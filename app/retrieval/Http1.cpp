#include "Http1.h"

#include <QAuthenticator>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace stormtap {

namespace {

bool isSuccess(int status) { return status >= 200 && status < 300; }

// A value from a server goes back in a header only when it cannot break the
// request: no control characters (a bare CR, a NUL, a line feed).
bool isSendableHeaderValue(const QString &value)
{
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QString shortReason(QNetworkReply::NetworkError error, const QString &fallback)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError: return QStringLiteral("refused");
    case QNetworkReply::HostNotFoundError: return QStringLiteral("unknown host");
    case QNetworkReply::RemoteHostClosedError: return QStringLiteral("closed");
    case QNetworkReply::TimeoutError: return QStringLiteral("timed out");
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure: return QStringLiteral("bad reply");
    default: return fallback;
    }
}

} // namespace

HTTP1::HTTP1(QObject *parent) : QObject(parent)
{
    m_manager.setAutoDeleteReplies(false);
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    // Credentials go with the request; a rejected one ends as a 401, no dialog.
    connect(&m_manager, &QNetworkAccessManager::authenticationRequired, this, [](QNetworkReply *, QAuthenticator *) {});
}

HTTP1::~HTTP1() { stop(); }

void HTTP1::start()
{
    stop();
    m_received = 0;
    m_metaDataSeen = false;

    QNetworkRequest request{QUrl(URL)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("User-Agent", "Stormtap/1.0");
    // The body is stored byte for byte: no transparent decompression.
    request.setRawHeader("Accept-Encoding", "identity");
    if (!IfModifiedSince.isEmpty() && isSendableHeaderValue(IfModifiedSince))
        request.setRawHeader("If-Modified-Since", IfModifiedSince.toLatin1());
    if (!UserName.isEmpty() || !Password.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " + (UserName + QLatin1Char(':') + Password).toLatin1().toBase64());

    m_reply = m_manager.get(request);
    m_reply->setReadBufferSize(ReadBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HTTP1::metaDataArrived);
    connect(m_reply, &QNetworkReply::readyRead, this, &HTTP1::bodyArrived);
    connect(m_reply, &QNetworkReply::finished, this, &HTTP1::finished);
}

void HTTP1::stop()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void HTTP1::setRoundSwitch(bool on)
{
    m_roundSwitch = on;
    if (!on)
        m_manager.clearConnectionCache();
}

int HTTP1::status() const { return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }

void HTTP1::metaDataArrived()
{
    if (m_metaDataSeen || !m_reply)
        return;
    m_metaDataSeen = true;
    const QList<QNetworkReply::RawHeaderPair> headers = m_reply->rawHeaderPairs();
    for (const auto &pair : headers) {
        emit header(QString::fromLatin1(pair.first), QString::fromLatin1(pair.second));
        if (!m_reply)
            return;
    }
    if (!isSuccess(status()))
        return;
    // We asked for the bytes as they are; a compressed body is no picture to store.
    const QByteArray encoding = m_reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity") {
        fail(0, QStringLiteral("compressed reply"));
        return;
    }
    // Too large is known before a byte of the body is read.
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > MaxBodyBytes)
        fail(0, QStringLiteral("too large"));
}

// Body and end may come before the header notification; the headers go first.
// False when there is no reply (any longer) to go on with.
bool HTTP1::headersDelivered()
{
    if (m_reply && !m_metaDataSeen)
        metaDataArrived();
    return m_reply != nullptr;
}

void HTTP1::bodyArrived()
{
    if (!headersDelivered())
        return;
    // The body of an error reply is nobody's image.
    if (!isSuccess(status())) {
        m_reply->skip(m_reply->bytesAvailable());
        return;
    }
    if (m_received + m_reply->bytesAvailable() > MaxBodyBytes) {
        fail(0, QStringLiteral("too large"));
        return;
    }
    const QByteArray chunk = m_reply->readAll();
    m_received += chunk.size();
    emit transfer(qint32(m_received), chunk);
}

void HTTP1::finished()
{
    if (!headersDelivered())
        return;
    if (m_reply->bytesAvailable() > 0)
        bodyArrived();
    if (!m_reply)
        return;
    const int code = status();
    const QNetworkReply::NetworkError error = m_reply->error();
    if (code != 0 && !isSuccess(code)) {
        fail(code, m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        return;
    }
    if (error != QNetworkReply::NoError || code == 0) {
        fail(0, shortReason(error, m_reply->errorString()));
        return;
    }
    // A body that ended before its announced length is not a reply.
    const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != m_received) {
        fail(0, QStringLiteral("cut short"));
        return;
    }
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    emit endOfTransfer();
}

void HTTP1::fail(int status, const QString &reason)
{
    stop();
    emit failure(status, reason);
}

} // namespace stormtap
