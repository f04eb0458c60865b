#pragma once

#include "state/State.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace stormtap {

// The texts of the Setup page that Save writes as they stand in their fields.
struct ConfigFields {
    QString server;         // txtConfigSetup(0)
    QString port;           // txtConfigSetup(5)
    QString userName;       // txtConfigSetup(1)
    QString password;       // txtConfigSetup(2)
    QString imageDirectory; // txtConfigSetup(6)
};

// The port a field holds: decimal digits, blanks around them allowed, 1 to 65535.
std::optional<int> parsePort(const QString &text);

// A number as the file and the Setup page show it: plain decimal, a full stop
// before any fraction, never an exponent, and as few digits as read back exactly.
QString decimalText(double value);

// What keeps the fields from being saved (a port that is not one, a text the
// file's Latin-1 code page cannot hold), or an empty text.
QString fieldsProblem(const ConfigFields &fields);

// The bytes of GLAVEN.CFG: the header from the fields (the server without blanks
// around it) and the settings, then one entry for every chosen product, in
// catalogue order and product order, then the entries that name no catalogue
// site, as they were read. Every text is quoted, a quote inside doubled, so it
// reads back exactly as typed.
QByteArray configBytes(const ConfigFields &fields, int port, const State &state);

// Checks the fields and the number of entries (no more than a read takes back)
// and replaces the file at `path` in one step, readable by its owner only (it
// holds a password). Returns an empty text, or what went wrong,
// naming the path; the file is then as it was.
QString writeConfig(const QString &path, const ConfigFields &fields, const State &state);

} // namespace stormtap
