#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

namespace stormtap {

constexpr int SiteSlots = 151;       // catalogue slots, indices 0 to 150
constexpr int SelectionSlots = 1000; // fetch-list slots, indices 1 to 1000
constexpr int ProductCount = 6;
constexpr qint16 EndlessRounds = 30000; // the LoopCount of "Infinite"

struct Settings {
    QString Server;
    qint32 Port = 0; // 1 to 65535 once saved; wider than 16 bits on purpose
    QString UserName;
    QString Password;
    double RefreshMinutes = 0;
    qint16 LoopCount = 0;  // 30000 stands for endless rounds
    quint8 NamingMode = 0; // 0 time stamp, otherwise sequential
    QString ImageDirectory;
};

struct SiteRecord {
    QString ImagePath;
    QString DisplayLine; // characters 1 to 5 are a prefix, the name starts at 6
    quint8 RegionMask = 0;
    std::array<quint8, ProductCount> ProductChosen{};
};

struct SelectionEntry {
    QString ImagePath;
    QString LastModified;
    qint16 SequenceNumber = 0;
    QString DisplayText;
};

// A GLAVEN.CFG entry whose display text names no site of the catalogue (the
// catalogue changed since it was saved). It is fetched like any other and
// written back unchanged, since no product flag can stand for it.
struct UnknownSiteEntry {
    QString ImagePath;
    QString DisplayText;
    int Product = 0;
};

// The program-wide state. Start-up owns the one instance and hands references to
// the window and the modules; a test simply makes its own.
struct State {
    Settings settings;

    std::array<SiteRecord, SiteSlots> Sites{};
    qint16 LastSiteIndex = -1;

    // Index 0 is unused so that entries keep their 1-based numbers.
    std::array<SelectionEntry, SelectionSlots + 1> Selections{};
    qint16 EntryCount = 0;
    std::vector<UnknownSiteEntry> UnknownSiteEntries; // in file order; Clear empties it

    int RequestTimeoutSeconds = 60;
    QString ProgramDirectory; // ends with the directory separator

    // The running retrieval.
    qint16 RoundNumber = 0;
    qint16 EntryIndex = 0;
    qint64 NextCheckTime = 0; // monotonic milliseconds (see Clock)
    quint8 StopRequested = 0;

    int siteCount() const { return LastSiteIndex + 1; }
};

} // namespace stormtap
