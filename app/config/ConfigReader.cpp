#include "ConfigReader.h"

#include "FirstRunSettings.h"
#include "ImageDirectory.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ItemReader.h"
#include "catalogue/LeadingNumber.h"
#include "catalogue/UserFile.h"
#include "state/Text.h"

#include <QDir>

#include <limits>

namespace stormtap {

namespace {

const char *const HeaderItems[] = {"web server",       "port",        "user name",      "password", "refresh interval",
                                   "number of rounds", "naming mode", "image directory"};

// The site an entry's display text names, or -1. SiteSearch answers with the
// last site also when no line holds the text; that answer is checked here.
int entrySite(const State &state, const QString &displayText)
{
    const int site = SiteSearch(state, displayText.left(10));
    if (site < 0)
        return -1;
    const QString &line = state.Sites[site].DisplayLine;
    return !line.isEmpty() && line.contains(trimBlanks(displayText.left(10))) ? site : -1;
}

} // namespace

LoadedConfig parseConfig(const QByteArray &bytes, const State &state, qint16 sequenceStart)
{
    LoadedConfig config;
    ItemReader reader(bytes);

    QString header[8];
    for (int i = 0; i < 8; ++i) {
        const std::optional<QString> item = reader.next();
        if (!item) {
            config.problem = QStringLiteral("the header ends after %1 of its 8 items (the %2 is missing)")
                                 .arg(i)
                                 .arg(QLatin1String(HeaderItems[i]));
            return config;
        }
        header[i] = *item;
    }
    Settings &settings = config.settings;
    // A host name holds no blanks; ones typed around it would fail every fetch.
    settings.Server = header[0].trimmed();
    settings.Port = leadingInteger(header[1], 0, 65535);
    settings.UserName = header[2];
    settings.Password = header[3];
    settings.RefreshMinutes = leadingNumber(header[4]);
    settings.LoopCount =
        qint16(leadingInteger(header[5], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
    settings.NamingMode = quint8(leadingInteger(header[6], 0, 255));
    settings.ImageDirectory = withTrailingSeparator(header[7]);

    while (!reader.onlyBlankLinesLeft()) {
        const int number = int(config.entries.size()) + 1;
        if (number > SelectionSlots) {
            config.problem = QStringLiteral("it holds more than %1 entries").arg(SelectionSlots);
            return config;
        }
        const std::optional<QString> imagePath = reader.next();
        const std::optional<QString> displayText = reader.next();
        const std::optional<QString> productItem = reader.next();
        if (!imagePath || !displayText || !productItem) {
            config.problem = QStringLiteral("entry %1 is cut short: it lacks its %2")
                                 .arg(number)
                                 .arg(!displayText ? QStringLiteral("display text and product index")
                                                   : QStringLiteral("product index"));
            return config;
        }
        const double product = roundHalfEven(leadingNumber(*productItem));
        if (!(product >= 0 && product < ProductCount)) {
            config.problem = QStringLiteral("entry %1 has the product index \"%2\"; it must be 0 to %3")
                                 .arg(number)
                                 .arg(itemExcerpt(*productItem))
                                 .arg(ProductCount - 1);
            return config;
        }
        SelectionEntry entry;
        entry.ImagePath = *imagePath;
        entry.DisplayText = *displayText;
        entry.SequenceNumber = sequenceStart;
        config.entries.push_back(entry);
        const int site = entrySite(state, *displayText);
        if (site >= 0)
            config.chosen.emplace_back(site, int(product));
        else
            config.unknownSiteEntries.push_back({*imagePath, *displayText, int(product)});
    }
    return config;
}

LoadedConfig loadConfig(const QString &path, const State &state, qint16 sequenceStart)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const UserFile file = readUserFile(path);
    LoadedConfig config;
    if (file.missing) {
        config.settings = firstRunSettings();
        config.fileMissing = true;
        return config;
    }
    if (!file.problem.isEmpty()) {
        config.problem = QStringLiteral("Cannot read %1: %2.").arg(shownPath, file.problem);
        return config;
    }
    const QByteArray &bytes = file.bytes;
    config = parseConfig(bytes, state, sequenceStart);
    if (!config.ok())
        config.problem = QStringLiteral("Cannot use %1: %2.").arg(shownPath, config.problem);
    return config;
}

void applyConfig(const LoadedConfig &config, State &state)
{
    state.settings = config.settings;
    state.EntryCount = qint16(config.entries.size());
    for (int i = 0; i < int(config.entries.size()); ++i)
        state.Selections[i + 1] = config.entries[i];
    for (const auto &[site, product] : config.chosen)
        state.Sites[site].ProductChosen[product] = 1;
    state.UnknownSiteEntries = config.unknownSiteEntries;
}

} // namespace stormtap
