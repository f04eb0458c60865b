#pragma once

#include "FetchOutcome.h"
#include "state/State.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace stormtap {

class HTTP1;
class RetrievalDisplay;
class Waiter;

// GetNIDS: fetches the current image of one fetch-list entry, judges it and
// stores it when it is new. It owns the receive state that HTTP1's
// notifications fill.
class ImageFetch : public QObject {
    Q_OBJECT
public:
    ImageFetch(State &state, HTTP1 &http, Waiter &waiter, RetrievalDisplay &display);

    // One fetch of Selections[Current]; returns when it has ended.
    FetchOutcome GetNIDS(qint16 Current);

    // The receive state of the current request.
    QByteArray ReceiveBuffer;
    QByteArray ImageData;
    QString LastModifiedHeader;
    double ContentLength = 0;
    bool TransferComplete = false;

    // The notification handlers.
    void headerArrived(const QString &name, const QString &value);
    void transferArrived(qint32 count, const QByteArray &chunk);
    void transferEnded();
    void failureReported(int status, const QString &reason);

private:
    struct Failure {
        bool reported = false;
        int status = 0;
        QString reason;
    };

    FetchOutcome fetch(qint16 current);
    FetchOutcome judgeBody(qint16 current);
    FetchOutcome failed(qint16 current, const FetchOutcome &outcome);
    void showLine(qint16 current, const QString &text);
    bool pause(int seconds);

    State &m_state;
    HTTP1 &m_http;
    Waiter &m_waiter;
    RetrievalDisplay &m_display;
    Failure m_failure;
};

// The text shown after the prefix for a failed fetch: the status code, or a
// short reason when there was none.
QString failureText(const FetchOutcome &outcome);

} // namespace stormtap
