#include "CollectionSource.h"
#include "ViewerWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

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
                     "stormtap-viewer: no display found (DISPLAY is not set); to run without a screen, "
                     "start it under Xvfb: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(viewer); // the icon lives in the static library
    QApplication::setApplicationName(QStringLiteral("Stormtap Viewer"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/viewer/stormtap-viewer.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows Stormtap's radar pictures: the newest of each fetch-list entry, and each entry's loop.\n"
                       "Without FOLDER it shows the image directory set up in Stormtap's GLAVEN.CFG."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("A folder of pictures to show instead."));
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() > 1) {
        std::fprintf(stderr, "stormtap-viewer: name at most one folder\n");
        return 2;
    }

    const auto source = stormtap::viewer::findCollection(QCoreApplication::applicationDirPath(), arguments.value(0));
    stormtap::viewer::ViewerWindow window(source);
    window.show();
    return app.exec();
}
