#include "ConfigLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace stormtap {

namespace {
const QString FileName = QStringLiteral("GLAVEN.CFG");
} // namespace

QString userConfigDirectory()
{
    // Named by hand rather than through AppConfigLocation, so that it does not
    // depend on the organisation or application name a program sets.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/stormtap");
}

QString configFilePath(const QString &programDirectory, bool programDirectoryWritable,
                       const QString &userConfigDirectory)
{
    if (programDirectoryWritable)
        return QDir(programDirectory).filePath(FileName);
    return QDir(userConfigDirectory).filePath(FileName);
}

QString configFilePath(const QString &programDirectory)
{
    const QFileInfo directory(programDirectory);
    return configFilePath(programDirectory, directory.isDir() && directory.isWritable(), userConfigDirectory());
}

} // namespace stormtap
