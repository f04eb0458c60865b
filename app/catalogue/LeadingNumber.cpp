#include "LeadingNumber.h"

#include <QByteArray>

#include <algorithm>
#include <cfenv>
#include <cmath>

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
    while (pos < text.size() && isDigit(text.at(pos))) {
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
    const double value = number.toDouble(); // locale-independent
    return value == 0 ? 0 : value;          // no negative zero
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
