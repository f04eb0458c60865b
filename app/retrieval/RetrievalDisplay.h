#pragma once

#include <QString>

namespace stormtap {

// What a retrieval shows and starts on the window. The window implements it;
// tests record it.
class RetrievalDisplay {
public:
    virtual ~RetrievalDisplay() = default;

    // The status list, one line per fetch-list entry (rows from 0).
    virtual int statusLineCount() const = 0;
    virtual void removeStatusLine(int row) = 0;
    virtual void insertStatusLine(int row, const QString &text) = 0;
    virtual void clearStatusLines() = 0;

    virtual void setProgress(int percent) = 0; // 0 to 100
    virtual void setLastCheck(const QString &text) = 0;
    virtual void setNextCheck(const QString &text) = 0;
    virtual void setRound(const QString &text) = 0;
    virtual void setRounds(const QString &text) = 0;
    virtual void setDownloading(bool shown) = 0;
    virtual void hideScreen() = 0;

    // A reply was taken for a new image (the alert flag), and the alert starts.
    virtual void newImageAlert() = 0;
    virtual void alertStart() = 0;
    // The server rejected the user name or password.
    virtual void accessDenied() = 0;
};

} // namespace stormtap
