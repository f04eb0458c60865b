#pragma once

#include "LoopGifWriter.h"
#include "TestFiles.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QImage>

// A one-frame GIF picture of one colour, as a radar server would send it.
inline QByteArray gifPicture(QColor colour, QSize size = QSize(40, 30))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QString error;
    const QByteArray bytes = stormtap::viewer::encodeLoopGif({{image, 100}}, &error);
    if (bytes.isEmpty())
        qFatal("cannot encode a test picture: %s", qPrintable(error));
    return bytes;
}

// Writes a file and gives it the time of last change `written`.
inline void writeFileAt(const QString &path, const QByteArray &bytes, const QDateTime &written)
{
    if (!writeFile(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(written, QFileDevice::FileModificationTime))
        qFatal("cannot set the time of %s", qPrintable(path));
}

// A fixed base time for file times, so that orders never depend on the clock.
inline QDateTime baseTime() { return QDateTime(QDate(2026, 6, 1), QTime(12, 0)); }
