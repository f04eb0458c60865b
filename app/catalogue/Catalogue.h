#pragma once

#include "state/State.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace stormtap {

constexpr int AllRegions = 8; // the "US" option

// The bytes of SITES.DAT. A missing file is created empty, so the program starts
// with an empty catalogue. `problem` tells what went wrong, with the path.
struct SitesFile {
    QByteArray bytes;
    QString problem;
    bool created = false; // the file was missing and an empty one has been made
};
SitesFile openSitesFile(const QString &path);

// Reads site triples (display line, image path, region mask) into state.Sites
// until a display line "end" or the end of the bytes, and sets LastSiteIndex to
// the index of the last complete site. Returns an empty text, or a description
// of what is wrong with the file; the complete sites read so far are kept.
QString readCatalogue(const QByteArray &bytes, State &state);

// The index of the first site whose display line contains the trimmed text
// (case counts). The last site is never compared: it is the answer both when its
// line holds the text and when no line does. -1 when the catalogue is empty.
int SiteSearch(const State &state, QString ID);

// The display lines of the sites of one region (bit r of the region mask), or of
// every site for AllRegions, in catalogue order.
QStringList regionSiteLines(const State &state, int region);

// Orders list lines alphabetically, letters compared without regard to case.
bool siteLineLess(const QString &a, const QString &b);

} // namespace stormtap
