#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

namespace stormtap {

// The HTTP client component of the window: one GET at a time with the settings
// below, its progress and end as notifications on the UI thread. Redirects are
// reported as failures, never followed.
class HTTP1 : public QObject {
    Q_OBJECT
public:
    explicit HTTP1(QObject *parent = nullptr);
    ~HTTP1() override;

    // Settings for the next start().
    QString URL;
    QString IfModifiedSince; // sent only when not empty and free of control characters
    QString UserName;        // sent with the request as HTTP Basic
    QString Password;
    qint64 MaxBodyBytes = qint64(64) * 1024 * 1024;
    // What Qt's network layer may hold of a body before we take it: without a
    // bound it reads a fast server's reply as fast as it comes.
    static constexpr qint64 ReadBufferBytes = 256 * 1024;

    // Action 1: starts the request; anything still running is stopped first.
    void start();
    // Action 0: stops the request in progress and closes its connection at once.
    // Nothing of it is delivered after.
    void stop();
    bool busy() const { return m_reply != nullptr; }

    // On, a round's requests may share one connection; off releases it.
    void setRoundSwitch(bool on);
    bool roundSwitch() const { return m_roundSwitch; }

signals:
    void header(const QString &name, const QString &value);
    void transfer(qint32 count, const QByteArray &chunk); // count: body bytes so far
    void endOfTransfer();
    // status: the HTTP status code, or 0 when there was none (refused, reset, ...).
    void failure(int status, const QString &reason);

private:
    void metaDataArrived();
    bool headersDelivered();
    void bodyArrived();
    void finished();
    void fail(int status, const QString &reason);
    int status() const;

    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
    qint64 m_received = 0;
    bool m_metaDataSeen = false;
    bool m_roundSwitch = false;
};

} // namespace stormtap
