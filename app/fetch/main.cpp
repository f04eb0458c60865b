#include "FetchProgram.h"
#include "retrieval/Clock.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("stormtap-fetch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(STORMTAP_VERSION));
    stormtap::SystemClock clock;
    return stormtap::runFetchProgram(clock);
}
