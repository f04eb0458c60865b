#include "CollectionSource.h"
#include "ViewerWindow.h"
#include "state/DisplayCheck.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (stormtap::reportMissingDisplay("stormtap-viewer", argv[0]))
        return 1;
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
