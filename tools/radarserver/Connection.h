#pragma once

#include "HttpMessage.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QTcpSocket;

// One client connection: reads requests one after the other (HTTP/1.0 and 1.1,
// keep-alive when the client asks for it) and sends each reply in turn,
// honouring its delay, trickle, streaming and drop instructions. Deletes
// itself when the socket closes.
class Connection : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpReply(const HttpRequest &)>;

    Connection(QTcpSocket *socket, quint64 id, Handler handler, QObject *parent = nullptr);

private:
    void readRequests();
    bool parseRequest(HttpRequest *request, qsizetype headerEnd);
    void startReply(HttpReply reply);
    void sendHeaders();
    void sendMore();
    void finishReply();
    void close();
    void fail(int status);

    QTcpSocket *m_socket;
    quint64 m_id;
    Handler m_handler;
    QByteArray m_input;
    qint64 m_discard = 0; // request body bytes still to skip

    enum class State { Reading, Delaying, Sending, Closing };
    State m_state = State::Reading; // further requests wait until Reading
    bool m_keepAlive = false;
    qint64 m_contentLength = 0;
    HttpReply m_reply;
    qint64 m_sent = 0;  // body bytes written so far
    qint64 m_limit = 0; // body bytes to write before stopping (drop mid-body)
    QTimer m_timer;
};
