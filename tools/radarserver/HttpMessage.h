#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

struct HttpRequest {
    QByteArray method;
    QByteArray target;  // as sent, query included
    QByteArray version; // "HTTP/1.0" or "HTTP/1.1"
    QList<QPair<QByteArray, QByteArray>> headers;
    quint64 connectionId = 0;

    // The value of the first header of that name (case-insensitive), or a null array.
    QByteArray header(const QByteArray &name) const
    {
        for (const auto &h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        return QByteArray();
    }
    bool hasHeader(const QByteArray &name) const { return !header(name).isNull(); }
};

// What a connection sends for one request, including the faults it is asked
// to commit on the way.
struct HttpReply {
    enum class Drop { None, BeforeReply, AfterHeaders, MidBody };

    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // When >= 0, the body is this long: `body` followed by filler bytes that
    // are made while sending, so a huge body never sits in memory.
    qint64 streamedLength = -1;
    bool sendContentLength = true; // without it the body ends when the connection closes
    bool chunked = false;          // Transfer-Encoding: chunked, in pieces as they are made
    bool headOnly = false;         // HEAD: headers as for GET, no body
    int delayMs = 0;
    int trickleMs = 0;
    int trickleChunks = 0;
    Drop drop = Drop::None;

    void addHeader(const QByteArray &name, const QByteArray &value) { headers.append({name, value}); }
    qint64 bodyLength() const { return streamedLength >= 0 ? streamedLength : body.size(); }
};

QByteArray reasonPhrase(int status);
