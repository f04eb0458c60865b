#include "ConfigLocation.h"

#include "MakeDirectories.h"

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

QString makeConfigDirectory(const QString &configPath)
{
    const QString reason = makeDirectories(QFileInfo(configPath).absolutePath());
    if (reason.isEmpty())
        return {};
    return QStringLiteral("Cannot save %1: its folder cannot be created: %2.")
        .arg(QDir::toNativeSeparators(configPath), reason);
}

} // namespace stormtap
