#include "state/DisplayCheck.h"
#include "state/State.h"
#include "ui/StartUp.h"
#include "ui/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (stormtap::reportMissingDisplay("stormtap", argv[0]))
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stormtap"));

    stormtap::State state;
    auto window = stormtap::startUp(state, QCoreApplication::applicationDirPath());
    return app.exec();
}
