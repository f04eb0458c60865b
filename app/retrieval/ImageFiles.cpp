#include "ImageFiles.h"

#include <QFile>
#include <QSaveFile>

namespace stormtap {

namespace {

QString sequentialPath(const QString &directory, const QString &prefix, int number)
{
    return directory + prefix + QString::number(number) + QStringLiteral(".gif");
}

QString reason(const QString &path, const QString &systemReason) { return path + QStringLiteral(": ") + systemReason; }

} // namespace

QString filePrefix(const QString &imagePath) { return imagePath.left(7); }

bool isSafeFileName(const QString &name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QStringLiteral(".."));
}

QString timeStampName(const QString &prefix, const QString &lastModified)
{
    // Positions count from 1: the hour starts 2 before the first ":", the minute
    // 1 after it.
    const qsizetype colon = lastModified.indexOf(QLatin1Char(':'));
    const qsizetype c = colon + 1 - 2;
    if (colon < 0 || c < 1)
        return QString();
    const QString hour = lastModified.mid(c - 1, 2);
    const QString minute = lastModified.mid(c + 2, 2);
    return prefix + QLatin1Char('_') + hour + minute + QStringLiteral(".gif");
}

QString sequentialName(const QString &prefix, qint16 sequenceNumber)
{
    const QString number = sequenceNumber > 9 ? QStringLiteral("9") : QString::number(sequenceNumber);
    return prefix + number + QStringLiteral(".gif");
}

bool rotateSequentialFiles(const QString &directory, const QString &prefix, QString *error)
{
    const QString first = sequentialPath(directory, prefix, 1);
    QFile oldest(first);
    if (oldest.exists() && !oldest.remove()) {
        *error = reason(first, oldest.errorString());
        return false;
    }
    for (int i = 2; i <= 9; ++i) {
        QFile file(sequentialPath(directory, prefix, i));
        if (!file.exists())
            continue;
        if (!file.rename(sequentialPath(directory, prefix, i - 1))) {
            *error = reason(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}

QString buildImageFileName(const QString &directory, quint8 namingMode, const QString &prefix, qint16 sequenceNumber,
                           const QString &lastModified, QString *error)
{
    if (!isSafeFileName(prefix)) {
        *error = QStringLiteral("unsafe file name");
        return QString();
    }
    QString name;
    if (namingMode == 0) {
        name = timeStampName(prefix, lastModified);
        if (name.isEmpty()) {
            *error = QStringLiteral("no time in Last-Modified");
            return QString();
        }
    } else {
        if (sequenceNumber > 9 && !rotateSequentialFiles(directory, prefix, error))
            return QString();
        name = sequentialName(prefix, sequenceNumber);
    }
    if (!isSafeFileName(name)) {
        *error = QStringLiteral("unsafe file name");
        return QString();
    }
    return name;
}

bool writeImageFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = reason(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace stormtap
