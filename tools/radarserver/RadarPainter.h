#pragma once

#include <QByteArray>
#include <QSize>

#include <cstdint>

// Draws a synthetic radar picture: a dark scope with range rings and blobs of
// echoes that drift and grow or fade from one generation to the next. The same
// key and generation always give the same picture.
class RadarPainter {
public:
    explicit RadarPainter(QSize size);

    // A GIF picture for `key` (site and product) at `generation`. gif89 selects
    // the GIF89a signature instead of GIF87a.
    QByteArray paint(const QByteArray &key, quint64 generation, bool gif89 = false) const;

    QSize size() const { return m_size; }

private:
    QSize m_size;
};
