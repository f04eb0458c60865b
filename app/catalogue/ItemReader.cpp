#include "ItemReader.h"

namespace stormtap {

namespace {
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
} // namespace

// Found once: asking whether only blank lines are left is then constant time,
// so reading stays linear however many blank lines a file holds.
ItemReader::ItemReader(QByteArray bytes) : m_bytes(std::move(bytes)), m_contentEnd(m_bytes.size())
{
    while (m_contentEnd > 0) {
        const char c = m_bytes.at(m_contentEnd - 1);
        if (c != ' ' && !isLineEnd(c))
            break;
        --m_contentEnd;
    }
}

QString itemExcerpt(const QString &item)
{
    constexpr qsizetype Shown = 40;
    return item.size() <= Shown ? item : item.left(Shown) + QStringLiteral("...");
}

std::optional<QString> ItemReader::next()
{
    if (atEnd())
        return std::nullopt;
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) == ' ')
        ++m_pos;
    const bool quoted = m_pos < m_bytes.size() && m_bytes.at(m_pos) == '"';
    const QByteArray item = quoted ? readQuoted() : readPlain();
    return QString::fromLatin1(item);
}

QByteArray ItemReader::readQuoted()
{
    QByteArray item;
    ++m_pos; // opening quote
    while (m_pos < m_bytes.size()) {
        const char c = m_bytes.at(m_pos++);
        if (c != '"') {
            item += c;
            continue;
        }
        if (m_pos < m_bytes.size() && m_bytes.at(m_pos) == '"') {
            item += '"';
            ++m_pos;
            continue;
        }
        break;
    }
    // Whatever stands between the closing quote and the separator is not part of
    // the item.
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != ',' && !isLineEnd(m_bytes.at(m_pos)))
        ++m_pos;
    skipSeparator();
    return item;
}

QByteArray ItemReader::readPlain()
{
    const qsizetype start = m_pos;
    while (m_pos < m_bytes.size() && m_bytes.at(m_pos) != ',' && !isLineEnd(m_bytes.at(m_pos)))
        ++m_pos;
    qsizetype end = m_pos;
    while (end > start && m_bytes.at(end - 1) == ' ')
        --end; // blanks at the end of an unquoted item are not kept
    skipSeparator();
    return m_bytes.mid(start, end - start);
}

void ItemReader::skipSeparator()
{
    if (m_pos >= m_bytes.size())
        return;
    const char c = m_bytes.at(m_pos++);
    if (c == '\r' && m_pos < m_bytes.size() && m_bytes.at(m_pos) == '\n')
        ++m_pos;
}

} // namespace stormtap
