#include "HttpServer.h"

#include "Connection.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <limits>

namespace {

const QByteArray ImagePrefix = "/graphics/nexrad/";
const QByteArray ControlPrefix = "/control/";

HttpReply textReply(int status, const QByteArray &text)
{
    HttpReply reply;
    reply.status = status;
    reply.body = text;
    reply.addHeader("Content-Type", "text/plain; charset=us-ascii");
    return reply;
}

HttpReply gifReply(const QByteArray &body, const QByteArray &lastModified)
{
    HttpReply reply;
    reply.body = body;
    reply.addHeader("Content-Type", "image/gif");
    if (!lastModified.isNull())
        reply.addHeader("Last-Modified", lastModified);
    return reply;
}

QByteArray padded(QByteArray bytes, qint64 size)
{
    bytes.truncate(size);
    while (bytes.size() < size)
        bytes.append(char(bytes.size() % 251));
    return bytes;
}

// Ends like a GIF picture, with the trailer byte.
QByteArray withTrailer(QByteArray bytes)
{
    if (!bytes.isEmpty())
        bytes[bytes.size() - 1] = ';';
    return bytes;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendLittleEndian(QByteArray &bytes, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// A gzip member around the deflate data of qCompress (which wraps it as zlib:
// a 4-byte length and a 2-byte header in front, a 4-byte checksum behind).
QByteArray gzip(const QByteArray &bytes)
{
    const QByteArray zlib = qCompress(bytes, 9);
    QByteArray member("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff", 10);
    member += zlib.mid(6, zlib.size() - 10);
    appendLittleEndian(member, crc32(bytes));
    appendLittleEndian(member, quint32(bytes.size()));
    return member;
}

} // namespace

HttpServer::HttpServer(ImageStore *store, QObject *parent) : QObject(parent), m_store(store)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::acceptConnections);
}

void HttpServer::setCredentials(const QString &user, const QString &password)
{
    m_expectedCredentials =
        user.isEmpty() && password.isEmpty() ? QByteArray() : (user + QLatin1Char(':') + password).toUtf8();
}

bool HttpServer::listen(quint16 port) { return m_server.listen(QHostAddress::LocalHost, port); }

void HttpServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const quint64 id = ++m_connections;
        auto *connection = new Connection(
            socket, id, [this](const HttpRequest &request) { return handle(request); }, this);
        m_open.insert(id);
        connect(connection, &QObject::destroyed, this, [this, id] { m_open.remove(id); });
    }
}

bool HttpServer::authorised(const HttpRequest &request) const
{
    if (m_expectedCredentials.isEmpty())
        return true;
    const QByteArray value = request.header("Authorization");
    const qsizetype blank = value.indexOf(' ');
    if (blank < 0 || value.left(blank).compare("Basic", Qt::CaseInsensitive) != 0)
        return false;
    return QByteArray::fromBase64(value.mid(blank + 1).trimmed()) == m_expectedCredentials;
}

HttpReply HttpServer::handle(const HttpRequest &request)
{
    const QUrl url = QUrl::fromEncoded(request.target);
    const QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    if (request.method != "GET" && request.method != "HEAD")
        return textReply(405, "only GET and HEAD\n");
    if (path.startsWith(ControlPrefix))
        return control(QString::fromLatin1(path.mid(ControlPrefix.size())),
                       QUrlQuery(url).queryItems(QUrl::FullyDecoded));

    QJsonObject entry{
        {"connection", qint64(request.connectionId)},
        {"method", QString::fromLatin1(request.method)},
        {"target", QString::fromLatin1(request.target)},
        {"version", QString::fromLatin1(request.version)},
    };
    // Absent headers stay null, so a test can tell them from empty ones.
    for (const char *name : {"If-Modified-Since", "Authorization", "Connection"}) {
        const QByteArray value = request.header(name);
        entry.insert(QLatin1String(name), value.isNull() ? QJsonValue() : QJsonValue(QString::fromLatin1(value)));
    }

    HttpReply reply;
    if (!path.startsWith(ImagePrefix)) {
        reply = textReply(404, "not found\n");
    } else {
        const QString imagePath = QUrl::fromPercentEncoding(path.mid(ImagePrefix.size()));
        QString mode;
        reply = serveImage(request, imagePath, &mode);
        if (!mode.isEmpty())
            entry.insert("misbehaviour", mode);
    }
    entry.insert("status", reply.status);
    entry.insert("bodyLength", reply.bodyLength());
    m_log.append(entry);
    return reply;
}

HttpReply HttpServer::serveImage(const HttpRequest &request, const QString &path, QString *mode)
{
    if (!authorised(request)) {
        HttpReply reply = textReply(401, "authorisation required\n");
        reply.addHeader("WWW-Authenticate", "Basic realm=\"radar\"");
        return reply;
    }
    if (!m_store->contains(path))
        return textReply(404, "no such image\n");

    const std::optional<Misbehaviour> m = m_misbehaviours.take(path);
    if (m)
        *mode = Misbehaviour::modeName(m->mode);
    if (m && m->mode != Misbehaviour::Mode::Delay && m->mode != Misbehaviour::Mode::Drop)
        return misbehave(*m, path);

    const QByteArray lastModified = m_store->lastModified();
    HttpReply reply;
    if (request.header("If-Modified-Since") == lastModified) {
        reply.status = 304;
        reply.addHeader("Last-Modified", lastModified);
    } else {
        reply = gifReply(m_store->image(path), lastModified);
    }
    // Delay and drop spoil whatever the normal reply is, 304 included.
    if (m && m->mode == Misbehaviour::Mode::Delay) {
        reply.delayMs = m->ms;
    } else if (m) {
        reply.drop = m->at == Misbehaviour::DropPoint::Request   ? HttpReply::Drop::BeforeReply
                     : m->at == Misbehaviour::DropPoint::Headers ? HttpReply::Drop::AfterHeaders
                                                                 : HttpReply::Drop::MidBody;
    }
    return reply;
}

// Replies that replace the picture, whatever If-Modified-Since says.
HttpReply HttpServer::misbehave(const Misbehaviour &m, const QString &path)
{
    using Mode = Misbehaviour::Mode;
    const QByteArray lastModified = m_store->lastModified();
    switch (m.mode) {
    case Mode::NonGif: {
        QByteArray page = "<html><head><title>Radar unavailable</title></head><body>\n";
        const qint64 size = m.bytes >= 0 ? m.bytes : 2048;
        while (page.size() < size - 15)
            page += "<p>The radar picture is not available at the moment.</p>\n";
        HttpReply reply = gifReply(padded(page, size - 15) + "</body></html>\n", lastModified);
        reply.headers[0].second = "text/html";
        return reply;
    }
    case Mode::Gif89a: return gifReply(m_store->gif89Image(path), lastModified);
    case Mode::Size1000:
    case Mode::Size1001:
        return gifReply(withTrailer(padded("GIF87a", m.mode == Mode::Size1000 ? 1000 : 1001)), lastModified);
    case Mode::Prefix:
        return gifReply(padded("garbage before the picture ", m.bytes >= 0 ? m.bytes : 64) + m_store->image(path),
                        lastModified);
    case Mode::Status: {
        HttpReply reply = textReply(m.code, QByteArray::number(m.code) + ' ' + reasonPhrase(m.code) + '\n');
        if (m.code == 401)
            reply.addHeader("WWW-Authenticate", "Basic realm=\"radar\"");
        if (m.code == 304)
            reply.addHeader("Last-Modified", lastModified);
        return reply;
    }
    case Mode::NoLastModified: return gifReply(m_store->image(path), QByteArray());
    case Mode::NoContentLength: {
        const QByteArray image = m_store->image(path);
        HttpReply reply = gifReply(m.bytes >= 0 ? image.left(m.bytes) : image, lastModified);
        reply.sendContentLength = false;
        return reply;
    }
    case Mode::Cut: return gifReply(m_store->image(path).left(m.bytes >= 0 ? m.bytes : 2000), lastModified);
    case Mode::Gzip: {
        HttpReply reply = gifReply(gzip(m_store->image(path)), lastModified);
        reply.addHeader("Content-Encoding", "gzip");
        return reply;
    }
    case Mode::Chunked: {
        HttpReply reply = gifReply(m_store->image(path), lastModified);
        reply.streamedLength = m.bytes >= 0 ? m.bytes : std::numeric_limits<qint64>::max();
        reply.body.truncate(reply.streamedLength);
        reply.sendContentLength = false;
        reply.chunked = true;
        return reply;
    }
    case Mode::Huge: {
        HttpReply reply = gifReply(m_store->image(path), lastModified);
        reply.streamedLength = m.bytes >= 0 ? m.bytes : qint64(65) << 20;
        reply.body.truncate(reply.streamedLength);
        return reply;
    }
    case Mode::Trickle: {
        HttpReply reply = gifReply(m_store->image(path), lastModified);
        reply.trickleMs = m.ms > 0 ? m.ms : 2000;
        reply.trickleChunks = m.chunks;
        return reply;
    }
    case Mode::Delay:
    case Mode::Drop: break;
    }
    return textReply(500, "unhandled misbehaviour\n");
}

HttpReply HttpServer::control(const QString &command, const QList<QPair<QString, QString>> &query)
{
    if (command == QLatin1String("misbehave")) {
        QString path, error;
        for (const auto &[name, value] : query)
            if (name == QLatin1String("path"))
                path = value;
        const std::optional<Misbehaviour> m = Misbehaviour::parse(query, &error);
        if (path.isEmpty())
            error = QStringLiteral("no path given");
        if (!error.isEmpty())
            return textReply(400, error.toLatin1() + '\n');
        m_misbehaviours.set(path, *m);
        return textReply(200, "ok\n");
    }
    if (command == QLatin1String("reset")) {
        m_misbehaviours.reset();
        m_log = QJsonArray();
        return textReply(200, "ok\n");
    }
    if (command == QLatin1String("advance")) {
        m_store->advance();
        return textReply(200, m_store->lastModified() + '\n');
    }
    if (command == QLatin1String("stats")) {
        QList<quint64> open = m_open.values();
        std::sort(open.begin(), open.end());
        QJsonArray openIds;
        for (const quint64 id : open)
            openIds.append(qint64(id));
        const QJsonObject stats{
            {"generation", qint64(m_store->generation())},
            {"lastModified", QString::fromLatin1(m_store->lastModified())},
            {"connections", qint64(m_connections)},
            {"open", openIds},
            {"requests", m_log},
        };
        HttpReply reply = textReply(200, QJsonDocument(stats).toJson());
        reply.headers[0].second = "application/json";
        return reply;
    }
    if (command == QLatin1String("image")) {
        for (const auto &[name, value] : query)
            if (name == QLatin1String("path") && m_store->contains(value))
                return gifReply(m_store->image(value), m_store->lastModified());
        return textReply(404, "no such image\n");
    }
    return textReply(404, "unknown control command\n");
}
