#include "Connection.h"

#include <QTcpSocket>

namespace {

constexpr qsizetype MaxHeaderBytes = 64 * 1024;
constexpr qint64 StreamPiece = 64 * 1024;
constexpr qint64 WriteBufferLimit = 4 * StreamPiece;

// Filler for streamed bodies; cheap to make at any offset.
QByteArray filler(qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        bytes[i] = char('a' + (offset + i) % 26);
    return bytes;
}

} // namespace

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

Connection::Connection(QTcpSocket *socket, quint64 id, Handler handler, QObject *parent)
    : QObject(parent), m_socket(socket), m_id(id), m_handler(std::move(handler))
{
    socket->setParent(this);
    m_timer.setSingleShot(true);
    connect(m_socket, &QTcpSocket::readyRead, this, &Connection::readRequests);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_state == State::Sending && m_reply.trickleChunks == 0)
            sendMore();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    readRequests();
}

void Connection::readRequests()
{
    m_input += m_socket->readAll();
    while (m_state == State::Reading && m_socket->state() == QAbstractSocket::ConnectedState) {
        if (m_discard > 0) {
            const qint64 skip = qMin<qint64>(m_discard, m_input.size());
            m_input.remove(0, skip);
            m_discard -= skip;
            if (m_discard > 0)
                return;
        }
        // Stray line ends between requests are allowed.
        while (m_input.startsWith("\r\n"))
            m_input.remove(0, 2);
        qsizetype headerEnd = m_input.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            if (m_input.size() > MaxHeaderBytes)
                fail(431);
            return;
        }
        HttpRequest request;
        request.connectionId = m_id;
        if (!parseRequest(&request, headerEnd)) {
            fail(400);
            return;
        }
        m_input.remove(0, headerEnd + 4);
        m_discard = request.header("Content-Length").trimmed().toLongLong();

        const QByteArray connection = request.header("Connection").toLower();
        m_keepAlive = request.version == "HTTP/1.1" ? !connection.contains("close") : connection.contains("keep-alive");
        HttpReply reply = m_handler(request);
        if (request.method == "HEAD")
            reply.headOnly = true;
        startReply(std::move(reply));
    }
}

bool Connection::parseRequest(HttpRequest *request, qsizetype headerEnd)
{
    const QList<QByteArray> lines = m_input.left(headerEnd).split('\n');
    const QList<QByteArray> parts = lines.first().trimmed().split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1."))
        return false;
    request->method = parts[0];
    request->target = parts[1];
    request->version = parts[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        request->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

void Connection::startReply(HttpReply reply)
{
    m_reply = std::move(reply);
    m_sent = 0;
    m_contentLength = m_reply.bodyLength();
    if (m_reply.headOnly || m_reply.status == 304) {
        m_reply.body.clear();
        m_reply.streamedLength = -1;
        m_reply.chunked = false;
        m_reply.trickleChunks = 0;
    }
    if (!m_reply.sendContentLength)
        m_keepAlive = false;
    m_limit = m_reply.bodyLength();
    if (m_reply.drop == HttpReply::Drop::MidBody)
        m_limit /= 2;
    if (m_reply.delayMs > 0) {
        m_state = State::Delaying;
        m_timer.disconnect();
        connect(&m_timer, &QTimer::timeout, this, &Connection::sendHeaders);
        m_timer.start(m_reply.delayMs);
    } else {
        sendHeaders();
    }
}

void Connection::sendHeaders()
{
    if (m_reply.drop == HttpReply::Drop::BeforeReply) {
        close();
        return;
    }
    m_state = State::Sending;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_reply.status) + ' ' + reasonPhrase(m_reply.status) + "\r\n";
    for (const auto &[name, value] : m_reply.headers)
        head += name + ": " + value + "\r\n";
    if (m_reply.sendContentLength && m_reply.status != 304)
        head += "Content-Length: " + QByteArray::number(m_contentLength) + "\r\n";
    if (m_reply.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    head += m_keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    head += "\r\n";
    m_socket->write(head);
    if (m_reply.drop == HttpReply::Drop::AfterHeaders) {
        close();
        return;
    }
    if (m_reply.trickleChunks > 0 && m_limit > 0) {
        // Every piece, the first included, waits its share of the time.
        m_timer.disconnect();
        connect(&m_timer, &QTimer::timeout, this, &Connection::sendMore);
        m_timer.start(m_reply.trickleMs / m_reply.trickleChunks);
        return;
    }
    sendMore();
}

// Writes the next part of the body: one piece per timer tick when trickling,
// otherwise as much as keeps the socket's write buffer modest.
void Connection::sendMore()
{
    const qint64 fixed = m_reply.body.size();
    if (m_reply.trickleChunks > 0) {
        const qint64 piece = qMax<qint64>(1, (m_limit + m_reply.trickleChunks - 1) / m_reply.trickleChunks);
        const qint64 n = qMin(piece, m_limit - m_sent);
        m_socket->write(m_reply.body.mid(m_sent, n));
        m_sent += n;
        if (m_sent < m_limit) {
            m_timer.start(m_reply.trickleMs / m_reply.trickleChunks);
            return;
        }
    } else {
        while (m_sent < m_limit && m_socket->bytesToWrite() < WriteBufferLimit) {
            const qint64 n = m_sent < fixed ? qMin(m_limit, fixed) - m_sent : qMin(StreamPiece, m_limit - m_sent);
            QByteArray piece = m_sent < fixed ? m_reply.body.mid(m_sent, n) : filler(m_sent - fixed, n);
            // A streamed body ends like a picture, with the GIF trailer byte.
            if (m_sent >= fixed && m_sent + n == m_reply.streamedLength)
                piece[n - 1] = ';';
            m_socket->write(m_reply.chunked ? QByteArray::number(n, 16) + "\r\n" + piece + "\r\n" : piece);
            m_sent += n;
        }
        if (m_sent < m_limit)
            return; // more when bytesWritten reports room
        if (m_reply.chunked && m_reply.drop != HttpReply::Drop::MidBody)
            m_socket->write("0\r\n\r\n");
    }
    if (m_reply.drop == HttpReply::Drop::MidBody)
        close();
    else
        finishReply();
}

void Connection::finishReply()
{
    m_reply = HttpReply();
    if (!m_keepAlive) {
        close();
        return;
    }
    m_state = State::Reading;
    if (!m_input.isEmpty() || m_discard > 0 || m_socket->bytesAvailable() > 0)
        readRequests();
}

void Connection::close()
{
    m_state = State::Closing;
    m_timer.stop();
    m_socket->disconnectFromHost();
}

void Connection::fail(int status)
{
    HttpReply reply;
    reply.status = status;
    reply.body = reasonPhrase(status) + "\n";
    reply.addHeader("Content-Type", "text/plain");
    m_keepAlive = false;
    startReply(std::move(reply));
}
