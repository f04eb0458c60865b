#include "ConfigWriter.h"

#include "catalogue/UserFile.h"
#include "state/Products.h"
#include "state/Text.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace stormtap {

namespace {

const QByteArray LineEnd = "\r\n";

bool fitsLatin1(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

void textItem(QByteArray &bytes, const QString &text)
{
    QByteArray latin1 = text.toLatin1();
    latin1.replace('"', "\"\"");
    bytes += '"' + latin1 + '"' + LineEnd;
}

void plainItem(QByteArray &bytes, const QString &text) { bytes += text.toLatin1() + LineEnd; }

// One entry for each chosen product, and the entries that name no known site.
qsizetype savedEntryCount(const State &state)
{
    qsizetype count = qsizetype(state.UnknownSiteEntries.size());
    for (int i = 0; i <= state.LastSiteIndex; ++i) {
        const auto &chosen = state.Sites[i].ProductChosen;
        count += std::count_if(chosen.begin(), chosen.end(), [](quint8 flag) { return flag != 0; });
    }
    return count;
}

} // namespace

std::optional<int> parsePort(const QString &text)
{
    const QString digits = trimBlanks(text);
    if (digits.isEmpty() || digits.size() > 5)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int port = digits.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

QString decimalText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0"); // only a hand-edited file of 300 digits gets here
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString fieldsProblem(const ConfigFields &fields)
{
    if (!parsePort(fields.port))
        return QStringLiteral("the port \"%1\" is not a whole number from 1 to 65535").arg(fields.port);
    const std::pair<const QString *, const char *> texts[] = {
        {&fields.server, "WWW Server"},
        {&fields.userName, "Username"},
        {&fields.password, "Password"},
        {&fields.imageDirectory, "Image Directory"},
    };
    for (const auto &[text, label] : texts) {
        if (!fitsLatin1(*text)) {
            return QStringLiteral("the field \"%1\" holds characters that the file cannot store; "
                                  "it keeps text in the Latin-1 code page (Western European letters only)")
                .arg(QLatin1String(label));
        }
    }
    return {};
}

QByteArray configBytes(const ConfigFields &fields, int port, const State &state)
{
    const Settings &settings = state.settings;
    QByteArray bytes;
    textItem(bytes, fields.server.trimmed());
    plainItem(bytes, QString::number(port));
    textItem(bytes, fields.userName);
    textItem(bytes, fields.password);
    plainItem(bytes, decimalText(settings.RefreshMinutes));
    plainItem(bytes, QString::number(settings.LoopCount));
    plainItem(bytes, QString::number(settings.NamingMode));
    textItem(bytes, fields.imageDirectory);

    for (int i = 0; i <= state.LastSiteIndex; ++i) {
        const SiteRecord &site = state.Sites[i];
        for (int product = 0; product < ProductCount; ++product) {
            if (!site.ProductChosen[product])
                continue;
            textItem(bytes, productImagePath(site.ImagePath, product));
            textItem(bytes, fetchListLine(site.DisplayLine, product));
            plainItem(bytes, QString::number(product));
        }
    }
    for (const UnknownSiteEntry &entry : state.UnknownSiteEntries) {
        textItem(bytes, entry.ImagePath);
        textItem(bytes, entry.DisplayText);
        plainItem(bytes, QString::number(entry.Product));
    }
    return bytes;
}

QString writeConfig(const QString &path, const ConfigFields &fields, const State &state)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const QString problem = fieldsProblem(fields);
    if (!problem.isEmpty())
        return QStringLiteral("Cannot save %1: %2.").arg(shownPath, problem);

    // Kept entries of unknown sites and every product chosen could together
    // make a file that no reader takes back.
    const qsizetype entries = savedEntryCount(state);
    if (entries > SelectionSlots) {
        return QStringLiteral("Cannot save %1: it would hold %2 entries, more than the %3 it can be read back with; "
                              "clear some of them first.")
            .arg(shownPath)
            .arg(entries)
            .arg(SelectionSlots);
    }

    // A directory, a FIFO or a device (or a link to one) is not a file to replace.
    const QString special = specialFileProblem(path);
    if (!special.isEmpty())
        return QStringLiteral("Cannot save %1: %2.").arg(shownPath, special);

    const QByteArray bytes = configBytes(fields, *parsePort(fields.port), state);
    // Unbuffered, so that a full disk fails the write itself: a buffered
    // QSaveFile can commit an empty file after its flush failed. Synced before
    // it replaces the earlier file, as some file systems report a full disk
    // only then.
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || file.write(bytes) != bytes.size() ||
        !file.flush())
        reason = file.errorString();
    else if (::fsync(file.handle()) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (!file.commit())
        reason = file.errorString();
    if (!reason.isEmpty()) // the earlier file stays as it was
        return QStringLiteral("Cannot save %1: %2.").arg(shownPath, reason);
    return {};
}

} // namespace stormtap
