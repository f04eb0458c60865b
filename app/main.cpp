#include "state/State.h"
#include "ui/StartUp.h"
#include "ui/frmMain.h"

#include <QApplication>

#include <cstdio>

namespace {

// Without a display Qt would abort with a long message; say it in one line.
bool displayMissing()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (displayMissing()) {
        std::fprintf(stderr,
                     "stormtap: no display found (DISPLAY is not set); to run without a screen, "
                     "start it under Xvfb: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stormtap"));

    stormtap::State state;
    auto window = stormtap::startUp(state, QCoreApplication::applicationDirPath());
    return app.exec();
}
