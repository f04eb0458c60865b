#include "SitesFile.h"

#include <QFile>

namespace {

class ItemReader
{
public:
    explicit ItemReader(QByteArray data) : m_data(std::move(data)) {}

    bool atEnd() const { return m_pos >= m_data.size(); }

    QByteArray next()
    {
        while (!atEnd() && m_data[m_pos] == ' ')
            ++m_pos;
        QByteArray item;
        if (!atEnd() && m_data[m_pos] == '"') {
            const qsizetype close = m_data.indexOf('"', m_pos + 1);
            const qsizetype end = close < 0 ? m_data.size() : close;
            item = m_data.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            while (!atEnd() && !isSeparator(m_data[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (!atEnd() && !isSeparator(m_data[m_pos]))
                ++m_pos;
            item = m_data.mid(start, m_pos - start);
        }
        skipSeparator();
        return item;
    }

private:
    static bool isSeparator(char c) { return c == ',' || c == '\r' || c == '\n'; }

    void skipSeparator()
    {
        if (atEnd())
            return;
        const char c = m_data[m_pos++];
        if (c == '\r' && !atEnd() && m_data[m_pos] == '\n')
            ++m_pos;
    }

    QByteArray m_data;
    qsizetype m_pos = 0;
};

} // namespace

bool readSiteImagePaths(const QString &fileName, QStringList *paths, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileName + QStringLiteral(": ") + file.errorString();
        return false;
    }
    ItemReader reader(file.readAll());
    while (!reader.atEnd()) {
        if (reader.next() == "end")
            break;
        if (reader.atEnd()) {
            *error = fileName + QStringLiteral(": ends inside a site");
            return false;
        }
        const QString path = QString::fromLatin1(reader.next());
        if (!reader.atEnd())
            reader.next(); // region mask
        if (!path.isEmpty())
            paths->append(path);
    }
    return true;
}

QStringList productImagePaths(const QStringList &sitePaths)
{
    static const char *const Suffixes[] = {"", "anbv.gif", "xn1r.gif", "xn3r.gif", "xnsr.gif", "xnat.gif"};
    QStringList paths;
    for (const QString &site : sitePaths)
        for (const char *suffix : Suffixes)
            paths.append(site + QLatin1String(suffix));
    return paths;
}
