// radarserver: a local web server that serves synthetic radar pictures for the
// sites of a SITES.DAT, for Stormtap's retrieval tests and demonstrations.
// See README.md for the options and the /control/ interface.

#include "HttpServer.h"
#include "ImageStore.h"
#include "RadarPainter.h"
#include "SitesFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void quit(const QString &message)
{
    std::fprintf(stderr, "radarserver: %s\n", qPrintable(message));
    std::exit(2);
}

int intOption(const QCommandLineParser &parser, const QString &name, int min, int max)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max)
        quit(QStringLiteral("--%1 wants a number from %2 to %3").arg(name).arg(min).arg(max));
    return value;
}

// "PATH=MODE[,NAME=VALUE...]", for example "KENX=status,code=500,count=1".
void addMisbehaviour(HttpServer &server, const QString &option)
{
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    if (equals <= 0)
        quit(QStringLiteral("--misbehave wants PATH=MODE[,NAME=VALUE...], not '%1'").arg(option));
    const QStringList parts = option.mid(equals + 1).split(QLatin1Char(','));
    QList<QPair<QString, QString>> fields{{QStringLiteral("mode"), parts.first()}};
    for (qsizetype i = 1; i < parts.size(); ++i)
        fields.append({parts[i].section(QLatin1Char('='), 0, 0), parts[i].section(QLatin1Char('='), 1)});
    QString error;
    const std::optional<Misbehaviour> m = Misbehaviour::parse(fields, &error);
    if (!m)
        quit(QStringLiteral("--misbehave %1: %2").arg(option, error));
    server.misbehaviours().set(option.left(equals), *m);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("radarserver"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves synthetic NEXRAD radar GIFs under /graphics/nexrad/<path> on 127.0.0.1."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one."), QStringLiteral("N"),
         QStringLiteral("0")},
        {QStringLiteral("sites"), QStringLiteral("SITES.DAT whose sites and products are served."),
         QStringLiteral("path")},
        {QStringLiteral("interval-seconds"), QStringLiteral("Seconds between picture generations."),
         QStringLiteral("N"), QStringLiteral("60")},
        {QStringLiteral("size"), QStringLiteral("Picture size."), QStringLiteral("WxH"), QStringLiteral("600x550")},
        {QStringLiteral("user"), QStringLiteral("User name for Basic authentication."), QStringLiteral("name")},
        {QStringLiteral("password"), QStringLiteral("Password for Basic authentication."), QStringLiteral("password")},
        {QStringLiteral("misbehave"), QStringLiteral("Spoil replies from the start (repeatable)."),
         QStringLiteral("PATH=MODE[,NAME=VALUE...]")},
    });
    parser.process(app);

    if (!parser.isSet(QStringLiteral("sites")))
        quit(QStringLiteral("--sites is required"));
    QStringList imagePaths;
    QString error;
    if (!readProductImagePaths(parser.value(QStringLiteral("sites")), &imagePaths, &error))
        quit(error);

    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d{1,4})x(\\d{1,4})$")).match(parser.value(QStringLiteral("size")));
    if (!size.hasMatch() || size.captured(1).toInt() < 16 || size.captured(2).toInt() < 16)
        quit(QStringLiteral("--size wants WxH, each at least 16"));

    ImageStore store(RadarPainter(QSize(size.captured(1).toInt(), size.captured(2).toInt())), imagePaths,
                     intOption(parser, QStringLiteral("interval-seconds"), 1, 86400 * 365));
    HttpServer server(&store);
    if (parser.isSet(QStringLiteral("user")) || parser.isSet(QStringLiteral("password")))
        server.setCredentials(parser.value(QStringLiteral("user")), parser.value(QStringLiteral("password")));
    for (const QString &option : parser.values(QStringLiteral("misbehave")))
        addMisbehaviour(server, option);

    if (!server.listen(quint16(intOption(parser, QStringLiteral("port"), 0, 65535))))
        quit(QStringLiteral("cannot listen: ") + server.errorString());
    std::printf("listening 127.0.0.1:%u\n", unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
