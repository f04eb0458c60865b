// A bare Qt Core program that only runs its event loop: what stormtap-fetch's
// memory while waiting is compared with.

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return app.exec();
}
