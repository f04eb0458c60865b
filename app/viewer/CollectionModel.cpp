#include "CollectionModel.h"

#include <QSet>

#include <algorithm>

namespace stormtap::viewer {

namespace {
const QString NoPictureYet = QStringLiteral("No picture yet");
const QString Loading = QStringLiteral("Loading…");
} // namespace

CollectionModel::CollectionModel(QObject *parent) : QAbstractListModel(parent)
{
    connect(&m_loader, &PictureLoader::loaded, this, &CollectionModel::onLoaded);
}

void CollectionModel::setSource(const CollectionSource &source)
{
    beginResetModel();
    m_loader.cancelPending();
    m_rowOfTicket.clear();
    m_pending = 0;
    m_source = source;
    m_tiles.clear();
    for (const CollectionEntry &entry : source.entries)
        m_tiles.push_back({entry, {}, {}, {}, {}, NoPictureYet, {}, 0});
    endResetModel();
    refresh();
}

int CollectionModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_tiles.size()); }

QVariant CollectionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_tiles.size()))
        return {};
    const Tile &tile = m_tiles[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: return tile.entry.displayText;
    case Qt::ToolTipRole: return tile.files.empty() ? tile.entry.displayText : tile.files.back().path;
    case PrefixRole: return tile.entry.prefix;
    case PictureRole: return tile.picture;
    case StoredRole:
        if (!tile.picture.isNull())
            return tile.shown.written;
        return tile.files.empty() ? QVariant() : QVariant(tile.files.back().written);
    case NoteRole: return tile.note;
    case FileCountRole: return int(tile.files.size());
    default: return {};
    }
}

int CollectionModel::rowOfPrefix(const QString &prefix) const
{
    for (size_t row = 0; row < m_tiles.size(); ++row) {
        if (m_tiles[row].entry.prefix == prefix)
            return int(row);
    }
    return -1;
}

void CollectionModel::setPictureSize(QSize size)
{
    if (size == m_pictureSize || size.isEmpty())
        return;
    m_pictureSize = size;
    m_loader.cancelPending();
    m_rowOfTicket.clear();
    m_pending = 0;
    for (size_t row = 0; row < m_tiles.size(); ++row) {
        if (!m_tiles[row].files.empty())
            requestPicture(int(row));
    }
}

void CollectionModel::addDiscoveredTiles(const QFileInfoList &listing)
{
    QSet<QString> known;
    for (const Tile &tile : m_tiles)
        known.insert(tile.entry.prefix);
    for (const QString &prefix : discoverPrefixes(listing)) {
        if (known.contains(prefix))
            continue;
        const int row = int(m_tiles.size());
        beginInsertRows(QModelIndex(), row, row);
        m_tiles.push_back(
            {{prefix, m_source.catalogueNames.value(prefix, prefix)}, {}, {}, {}, {}, NoPictureYet, {}, 0});
        endInsertRows();
    }
}

void CollectionModel::refresh()
{
    const QFileInfoList listing = listImageDirectory(m_source.directory);
    if (m_source.discover)
        addDiscoveredTiles(listing);
    FilesByPrefix groups = groupByPrefix(listing);
    for (size_t row = 0; row < m_tiles.size(); ++row) {
        Tile &tile = m_tiles[row];
        std::vector<ImageFile> files = groups.take(tile.entry.prefix);
        if (files == tile.files)
            continue;
        tile.files = std::move(files);
        emit filesChanged(int(row));
        if (tile.files.empty()) {
            tile.asked = {};
            tile.shown = {};
            tile.picture = {};
            tile.problem.clear();
            tile.note = NoPictureYet;
            const QModelIndex changed = index(int(row));
            emit dataChanged(changed, changed);
        } else if (tile.files.back() != tile.asked || tile.picture.isNull()) {
            requestPicture(int(row));
        }
    }
    if (m_pending == 0)
        emit picturesLoaded();
}

void CollectionModel::requestPicture(int row, size_t fileIndex)
{
    if (!m_pictureSize.isValid())
        return; // no size yet: the view asks once it knows its tiles
    Tile &tile = m_tiles[size_t(row)];
    if (tile.ticket != 0 && m_rowOfTicket.remove(tile.ticket))
        --m_pending;
    tile.ticket = m_nextTicket++;
    if (fileIndex >= tile.files.size()) {
        fileIndex = tile.files.size() - 1;
        tile.problem.clear();
    }
    tile.asked = tile.files[fileIndex];
    m_rowOfTicket.insert(tile.ticket, row);
    ++m_pending;
    if (tile.picture.isNull() && tile.problem.isEmpty()) {
        tile.note = Loading;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed);
    }
    m_loader.load(tile.ticket, tile.asked.path, m_pictureSize);
}

void CollectionModel::onLoaded(quint64 ticket, const Picture &picture)
{
    const auto found = m_rowOfTicket.constFind(ticket);
    if (found == m_rowOfTicket.constEnd())
        return; // asked for again since, or the collection changed
    const int row = found.value();
    m_rowOfTicket.erase(found);
    --m_pending;
    Tile &tile = m_tiles[size_t(row)];
    if (picture.ok()) {
        tile.picture = picture.image;
        tile.shown = tile.asked;
        tile.note = tile.problem;
    } else {
        // The files are asked for anew whenever they change: the one asked is among them.
        const size_t at = size_t(std::find(tile.files.begin(), tile.files.end(), tile.asked) - tile.files.begin());
        if (at + 1 >= tile.files.size()) {
            tile.problem = QStringLiteral("%1: %2").arg(tile.asked.name, picture.problem);
            emit brokenPicture(tile.asked.path);
        }
        tile.note = tile.problem;
        if (at > 0 && at < tile.files.size()) {
            requestPicture(row, at - 1); // the one before it
        } else {
            tile.picture = {};
            tile.shown = {};
        }
    }
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
    if (m_pending == 0)
        emit picturesLoaded();
}

} // namespace stormtap::viewer
