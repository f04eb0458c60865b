#include "PictureDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace stormtap::viewer {

Picture decodePictureBytes(const QByteArray &bytes)
{
    Picture picture;
    if (!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a")) {
        picture.problem = bytes.isEmpty() ? QStringLiteral("empty") : QStringLiteral("not a GIF");
        return picture;
    }
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    reader.setDecideFormatFromContent(false);
    const QImage image = reader.read();
    if (!bytes.endsWith(char(0x3B)) || (image.isNull() && bytes.size() < 64)) {
        picture.problem = QStringLiteral("cut short");
        return picture;
    }
    if (image.isNull()) {
        picture.problem = QStringLiteral("cannot be decoded (%1)").arg(reader.errorString());
        return picture;
    }
    picture.image = image;
    return picture;
}

Picture decodePicture(const QString &path, QSize fitInto)
{
    Picture picture;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        picture.problem = QStringLiteral("missing");
        return picture;
    }
    if (!info.isFile()) {
        picture.problem = QStringLiteral("not a file");
        return picture;
    }
    if (info.size() > LargestPicture) {
        picture.problem = QStringLiteral("too large for a radar picture (%1 MB)").arg(info.size() / (1024 * 1024));
        return picture;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        picture.problem = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return picture;
    }
    picture = decodePictureBytes(file.read(LargestPicture));
    if (picture.ok() && fitInto.isValid() && picture.image.size() != fitInto)
        picture.image = picture.image.scaled(fitInto, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

} // namespace stormtap::viewer
