#include "LeadingNumber.h"

#include <QByteArray>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

namespace stormtap {

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
} // namespace

double leadingNumber(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    QByteArray number;
    if (pos < text.size() && text.at(pos) == QLatin1Char('-')) {
        number += '-';
        ++pos;
    }
    bool anyDigit = false;
    bool wholePart = false; // a digit other than 0 before the point
    while (pos < text.size() && isDigit(text.at(pos))) {
        wholePart = wholePart || text.at(pos) != QLatin1Char('0');
        number += char(text.at(pos++).unicode());
        anyDigit = true;
    }
    if (pos < text.size() && text.at(pos) == QLatin1Char('.')) {
        number += '.';
        ++pos;
        while (pos < text.size() && isDigit(text.at(pos))) {
            number += char(text.at(pos++).unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    bool ok = false;
    const double value = number.toDouble(&ok); // locale-independent
    if (!ok) {
        // Out of range: beyond the largest double, or closer to 0 than the
        // smallest. A number of a few hundred digits is the largest there is.
        if (!wholePart)
            return 0;
        const double largest = std::numeric_limits<double>::max();
        return number.startsWith('-') ? -largest : largest;
    }
    return value == 0 ? 0 : value; // no negative zero
}

double roundHalfEven(double value)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

int leadingInteger(QStringView text, int low, int high)
{
    const double rounded = roundHalfEven(leadingNumber(text));
    return int(std::clamp(rounded, double(low), double(high)));
}

} // namespace stormtap
