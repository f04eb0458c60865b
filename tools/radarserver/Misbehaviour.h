#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// A deliberate fault in the reply to an image request, for tests.
struct Misbehaviour {
    enum class Mode {
        Delay,           // answer normally after `ms` milliseconds
        Drop,            // close the connection: `at` request, headers or body (half sent)
        NonGif,          // a 200 reply with an HTML body of `bytes` (default 2048)
        Gif89a,          // the picture with a GIF89a signature
        Size1000,        // a body of exactly 1000 bytes from "GIF87a" to the trailer byte
        Size1001,        // the same with 1001 bytes
        Prefix,          // `bytes` bytes (default 64) in front of the picture
        Status,          // status `code` (default 500) with a small body
        NoLastModified,  // the picture without a Last-Modified header
        NoContentLength, // the picture (or its first `bytes`) without Content-Length, ended by closing
        Cut,             // the first `bytes` (default 2000) of the picture, Content-Length to match
        Gzip,            // the picture gzip-compressed, with Content-Encoding: gzip
        Chunked,         // the picture and filler in chunked encoding, `bytes` long (default: no end)
        Huge,            // a body of `bytes` (default 65 MiB) made while it is sent
        Trickle,         // the body in `chunks` pieces (default 10) spread over `ms`
    };
    enum class DropPoint { Request, Headers, Body };

    Mode mode = Mode::Delay;
    int code = 500;
    int ms = 0;
    qint64 bytes = -1; // -1: the mode's default
    int chunks = 10;
    DropPoint at = DropPoint::Body;
    int count = -1; // replies still to spoil; -1: until reset

    // Parses "mode" and the optional "code", "ms", "bytes", "chunks", "at" and
    // "count" from name-value pairs.
    static std::optional<Misbehaviour> parse(const QList<QPair<QString, QString>> &fields, QString *error);
    static QString modeName(Mode mode);
};

// Misbehaviours by image path; the path "*" applies to every image.
class MisbehaviourTable {
public:
    void set(const QString &path, const Misbehaviour &misbehaviour);
    // The misbehaviour for the next reply to `path`, counting a one-shot down.
    std::optional<Misbehaviour> take(const QString &path);
    void reset() { m_table.clear(); }

private:
    QHash<QString, Misbehaviour> m_table;
};
