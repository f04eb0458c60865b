// stormtap-fetch as its main() builds it, with the short pauses passing at once:
// the tests run the program as a process without waiting out its seconds.

#include "FetchProgram.h"
#include "QuickPausesClock.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("stormtap-fetch"));
    QuickPausesClock clock;
    return stormtap::runFetchProgram(clock);
}
