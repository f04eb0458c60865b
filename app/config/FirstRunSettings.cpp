#include "FirstRunSettings.h"

#include <QStandardPaths>

namespace stormtap {

Settings firstRunSettings()
{
    Settings settings;
    settings.Port = 80;
    settings.RefreshMinutes = FirstRefreshMinutes;
    settings.LoopCount = FirstLoopCount;
    settings.NamingMode = 1;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty())
        settings.ImageDirectory = pictures + QStringLiteral("/Stormtap/");
    return settings;
}

} // namespace stormtap
