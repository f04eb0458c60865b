#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace stormtap {

// Reads a text file of items, as SITES.DAT and GLAVEN.CFG are written: items
// separated by commas or line ends (CR, LF or CR LF), blanks before an item
// skipped, an item in double quotes running to its closing quote. Inside quotes a
// doubled quote stands for one quote character, so any text can be stored. Bytes
// are single-byte text (Latin-1).
class ItemReader {
public:
    explicit ItemReader(QByteArray bytes);

    // True once every byte has been read.
    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // True when nothing but blanks and line ends is left: blank lines at the end
    // of a hand-edited file hold no further record.
    bool onlyBlankLinesLeft() const { return m_pos >= m_contentEnd; }

    // The next item, or nothing when the end of the file had already been reached.
    std::optional<QString> next();

private:
    QByteArray readQuoted();
    QByteArray readPlain();
    void skipSeparator();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_contentEnd = 0; // just after the last byte that is not blank or a line end
};

// How a message quotes an item: whole when it is short, otherwise its start and
// "...", so that a huge item never reaches a message box.
QString itemExcerpt(const QString &item);

} // namespace stormtap
