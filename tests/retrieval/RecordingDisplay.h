#pragma once

#include "retrieval/RetrievalDisplay.h"

#include <QStringList>

#include <functional>

// The retrieval screen of a test: it keeps what was shown.
struct RecordingDisplay : stormtap::RetrievalDisplay {
    QStringList lines;
    QList<int> progress;
    QStringList lastChecks, nextChecks, rounds;
    QString roundsOf;
    bool downloading = false;
    int hidden = 0, newImageAlerts = 0, alerts = 0, accessDenials = 0;

    int statusLineCount() const override { return int(lines.size()); }
    void removeStatusLine(int row) override { lines.removeAt(row); }
    void insertStatusLine(int row, const QString &text) override { lines.insert(qMin(row, int(lines.size())), text); }
    void clearStatusLines() override { lines.clear(); }
    void setProgress(int percent) override { progress << percent; }
    void setLastCheck(const QString &text) override { lastChecks << text; }
    void setNextCheck(const QString &text) override { nextChecks << text; }
    void setRound(const QString &text) override { rounds << text; }
    void setRounds(const QString &text) override { roundsOf = text; }
    void setDownloading(bool shown) override { downloading = shown; }
    void hideScreen() override { ++hidden; }
    void newImageAlert() override { ++newImageAlerts; }
    void alertStart() override { ++alerts; }
    void accessDenied() override { ++accessDenials; }
};
