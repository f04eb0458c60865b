#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace stormtap::viewer {

// A decoded picture, or why there is none ("missing", "cut short", "not a GIF").
struct Picture {
    QImage image;
    QString problem;
    bool ok() const { return problem.isEmpty(); }
};

// Pictures larger than this are no radar pictures: they are not read into memory.
constexpr qint64 LargestPicture = 16 * 1024 * 1024;

// Checks the bytes of a GIF picture and decodes its first frame with Qt's GIF
// reader. A picture without the GIF trailer counts as cut short even when the
// reader shows part of it.
Picture decodePictureBytes(const QByteArray &bytes);

// Reads and decodes the file; with a valid `fitInto` the picture is scaled once,
// smoothly and keeping its shape, to fit that size. Safe on any thread.
Picture decodePicture(const QString &path, QSize fitInto = QSize());

} // namespace stormtap::viewer
