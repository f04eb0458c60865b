#include "MakeDirectories.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace stormtap {

QString makeDirectories(const QString &path)
{
    // Rather than QDir::mkpath, which gives no reason when it fails.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
    return error ? QString::fromLocal8Bit(error.message().c_str()) : QString();
}

} // namespace stormtap
