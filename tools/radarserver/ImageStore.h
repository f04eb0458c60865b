#pragma once

#include "RadarPainter.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

// The current picture of every image path. All pictures belong to one
// generation; a new generation begins when the interval has passed since the
// last one (checked on each request) or when advance() is called. A picture is
// drawn when it is first asked for in a generation and kept until the next.
class ImageStore {
public:
    ImageStore(const RadarPainter &painter, const QStringList &paths, int intervalSeconds);

    bool contains(const QString &path) const { return m_paths.contains(path); }
    int pathCount() const { return m_paths.size(); }

    // The current picture; starts a new generation first when one is due.
    QByteArray image(const QString &path);
    // The current picture with a GIF89a signature (drawn anew each time).
    QByteArray gif89Image(const QString &path);

    // Last-Modified of the current generation, as an RFC 1123 date.
    QByteArray lastModified();
    quint64 generation();

    // Starts a new generation now; its time is at least one second after the
    // previous one, so Last-Modified always changes.
    void advance();

    static QByteArray httpDate(const QDateTime &time);

private:
    void refresh();

    RadarPainter m_painter;
    QSet<QString> m_paths;
    qint64 m_intervalSeconds;
    quint64 m_generation = 0;
    QDateTime m_generationTime;
    QHash<QString, QByteArray> m_cache;
};
