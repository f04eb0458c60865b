#include "CollectionSource.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigLocation.h"
#include "config/ConfigReader.h"
#include "config/ImageDirectory.h"
#include "retrieval/ImageFiles.h"
#include "state/Products.h"
#include "state/State.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <memory>

namespace stormtap::viewer {

namespace {

QString sameFolderKey(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

void appendProblem(QString &problems, const QString &problem)
{
    if (problem.isEmpty())
        return;
    if (!problems.isEmpty())
        problems += QLatin1Char('\n');
    problems += problem;
}

} // namespace

std::vector<CollectionEntry> entriesOfFetchList(const State &state)
{
    std::vector<CollectionEntry> entries;
    QSet<QString> seen;
    for (int i = 1; i <= state.EntryCount; ++i) {
        const SelectionEntry &entry = state.Selections[i];
        const QString prefix = filePrefix(entry.ImagePath);
        // Two entries with one prefix write the same files: one tile shows them.
        if (prefix.isEmpty() || seen.contains(prefix))
            continue;
        seen.insert(prefix);
        const QString text = entry.DisplayText.simplified();
        entries.push_back({prefix, text.isEmpty() ? prefix : text});
    }
    return entries;
}

QHash<QString, QString> catalogueNamesByPrefix(const State &state)
{
    QHash<QString, QString> names;
    for (int site = 0; site < state.siteCount(); ++site) {
        for (int product = 0; product < ProductCount; ++product) {
            const QString prefix = filePrefix(productImagePath(state.Sites[site].ImagePath, product));
            if (!names.contains(prefix))
                names.insert(prefix, fetchListLine(state.Sites[site].DisplayLine, product).simplified());
        }
    }
    return names;
}

CollectionSource findCollection(const QString &programDirectory, const QString &folderArgument)
{
    CollectionSource source;
    // The state holds two large tables; keep it off the stack.
    auto state = std::make_unique<State>();

    const QString sitesPath = QDir(programDirectory).filePath(QStringLiteral("SITES.DAT"));
    if (QFileInfo::exists(sitesPath)) {
        const SitesFile sites = openSitesFile(sitesPath);
        appendProblem(source.problem, sites.problem);
        const QString readProblem = readCatalogue(sites.bytes, *state);
        if (sites.problem.isEmpty() && !readProblem.isEmpty())
            appendProblem(source.problem,
                          QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(sitesPath), readProblem));
    }

    const LoadedConfig config = loadConfig(configFilePath(programDirectory), *state, 1);
    appendProblem(source.problem, config.problem);
    // Without a saved GLAVEN.CFG nothing has been fetched yet: the first-run
    // settings name no collection.
    if (config.ok() && !config.fileMissing)
        applyConfig(config, *state);
    // A relative directory is below the program directory, as Stormtap takes it.
    const QString configured = imageDirectoryPath(state->settings.ImageDirectory, programDirectory);

    if (folderArgument.isEmpty()) {
        source.directory = configured;
        source.entries = entriesOfFetchList(*state);
        if (!configured.isEmpty() && !QFileInfo(configured).isDir())
            appendProblem(source.problem, QStringLiteral("The image directory %1 is not there yet: its pictures "
                                                         "show as soon as Stormtap stores them.")
                                              .arg(QDir::toNativeSeparators(configured)));
        if (configured.isEmpty() && config.ok())
            appendProblem(source.problem, QStringLiteral("No image directory is set up yet: save one on Stormtap's "
                                                         "Setup page, or name a folder: stormtap-viewer FOLDER"));
        return source;
    }

    source.directory = folderArgument;
    if (!QFileInfo(folderArgument).isDir())
        appendProblem(source.problem, QStringLiteral("%1 is no folder: its pictures show as soon as it is made.")
                                          .arg(QDir::toNativeSeparators(folderArgument)));
    if (!configured.isEmpty() && sameFolderKey(configured) == sameFolderKey(folderArgument)) {
        source.entries = entriesOfFetchList(*state);
        return source;
    }
    source.discover = true;
    // The entries are found with the files, in one reading of the folder.
    source.catalogueNames = catalogueNamesByPrefix(*state);
    return source;
}

} // namespace stormtap::viewer
