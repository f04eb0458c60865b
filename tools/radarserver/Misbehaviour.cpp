#include "Misbehaviour.h"

namespace {

struct ModeName {
    Misbehaviour::Mode mode;
    const char *name;
};

const ModeName ModeNames[] = {
    {Misbehaviour::Mode::Delay, "delay"},
    {Misbehaviour::Mode::Drop, "drop"},
    {Misbehaviour::Mode::NonGif, "nongif"},
    {Misbehaviour::Mode::Gif89a, "gif89a"},
    {Misbehaviour::Mode::Size1000, "size1000"},
    {Misbehaviour::Mode::Size1001, "size1001"},
    {Misbehaviour::Mode::Prefix, "prefix"},
    {Misbehaviour::Mode::Status, "status"},
    {Misbehaviour::Mode::NoLastModified, "nolastmodified"},
    {Misbehaviour::Mode::NoContentLength, "nocontentlength"},
    {Misbehaviour::Mode::Cut, "cut"},
    {Misbehaviour::Mode::Gzip, "gzip"},
    {Misbehaviour::Mode::Chunked, "chunked"},
    {Misbehaviour::Mode::Huge, "huge"},
    {Misbehaviour::Mode::Trickle, "trickle"},
};

bool parseNumber(const QString &text, qint64 min, qint64 max, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= min && *value <= max;
}

} // namespace

QString Misbehaviour::modeName(Mode mode)
{
    for (const ModeName &m : ModeNames)
        if (m.mode == mode)
            return QLatin1String(m.name);
    return QString();
}

std::optional<Misbehaviour> Misbehaviour::parse(const QList<QPair<QString, QString>> &fields, QString *error)
{
    Misbehaviour result;
    bool haveMode = false;
    for (const auto &[name, value] : fields) {
        qint64 number = 0;
        if (name == QLatin1String("mode")) {
            haveMode = false;
            for (const ModeName &m : ModeNames)
                if (value == QLatin1String(m.name)) {
                    result.mode = m.mode;
                    haveMode = true;
                }
            if (!haveMode) {
                *error = QStringLiteral("unknown mode '%1'").arg(value);
                return std::nullopt;
            }
        } else if (name == QLatin1String("at")) {
            if (value == QLatin1String("request"))
                result.at = DropPoint::Request;
            else if (value == QLatin1String("headers"))
                result.at = DropPoint::Headers;
            else if (value == QLatin1String("body"))
                result.at = DropPoint::Body;
            else {
                *error = QStringLiteral("'at' must be request, headers or body");
                return std::nullopt;
            }
        } else if (name == QLatin1String("code") && parseNumber(value, 100, 999, &number)) {
            result.code = int(number);
        } else if (name == QLatin1String("ms") && parseNumber(value, 0, 3600000, &number)) {
            result.ms = int(number);
        } else if (name == QLatin1String("bytes") && parseNumber(value, 0, qint64(1) << 40, &number)) {
            result.bytes = number;
        } else if (name == QLatin1String("chunks") && parseNumber(value, 1, 100000, &number)) {
            result.chunks = int(number);
        } else if (name == QLatin1String("count") && parseNumber(value, -1, 1000000, &number)) {
            result.count = int(number);
        } else if (name != QLatin1String("path")) {
            *error = QStringLiteral("bad parameter %1=%2").arg(name, value);
            return std::nullopt;
        }
    }
    if (!haveMode) {
        *error = QStringLiteral("no mode given");
        return std::nullopt;
    }
    return result;
}

void MisbehaviourTable::set(const QString &path, const Misbehaviour &misbehaviour)
{
    if (misbehaviour.count == 0)
        m_table.remove(path);
    else
        m_table.insert(path, misbehaviour);
}

std::optional<Misbehaviour> MisbehaviourTable::take(const QString &path)
{
    auto it = m_table.find(path);
    if (it == m_table.end())
        it = m_table.find(QStringLiteral("*"));
    if (it == m_table.end())
        return std::nullopt;
    const Misbehaviour result = *it;
    if (it->count > 0 && --it->count == 0)
        m_table.erase(it);
    return result;
}
