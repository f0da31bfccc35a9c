#include "tools.h"

#include <cmath>

namespace tools {

namespace {

constexpr int32_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000};

} // namespace

uint32_t HexToInt(const QString& text)
{
    uint32_t value = 0;
    for (QChar c : text) {
        if (c == u' ')
            continue;
        const int digit = HexDigitValue(c);
        value = digit < 0 ? 0 : (value << 4) + static_cast<uint32_t>(digit);
    }
    return value;
}

int32_t DigitsToInt(const QString& text)
{
    // Unsigned arithmetic so that an absurdly long digit string wraps instead of overflowing.
    uint32_t value = 0;
    bool negative = false;
    for (QChar c : text) {
        if (c == u'-')
            negative = true;
        else if (IsDigit(c))
            value = value * 10u + static_cast<uint32_t>(c.unicode() - '0');
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

QString IntToFixed(int32_t value, int decimals)
{
    if (decimals == 0)
        return QString::number(value);
    if (decimals < 1 || decimals > 5)
        return {};
    // Integer arithmetic gives the exact digits a binary floating-point division could miss.
    const int64_t magnitude = std::abs(static_cast<int64_t>(value));
    const int64_t scale = kPowersOfTen[decimals];
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / scale);
    text += u'.';
    text += QString::number(magnitude % scale).rightJustified(decimals, u'0');
    return text;
}

QString FixDecimals(const QString& text, int decimals)
{
    const qsizetype point = text.indexOf(u'.');
    QString result = point < 0 ? text : text.left(point);
    if (result.isEmpty())
        result = QStringLiteral("0");
    if (decimals <= 0)
        return result;
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    result += u'.';
    for (int i = 0; i < decimals; ++i)
        result += i < fraction.size() ? fraction.at(i) : QChar(u'0');
    return result;
}

QString FloatToFixed(int decimals, double value)
{
    // Halves go to the even neighbour, as the log file and the chart set-up write them.
    if (decimals == 0)
        return QString::number(static_cast<qlonglong>(std::nearbyint(value)));
    if (decimals < 1 || decimals > 5)
        return {};
    return QString::number(value, 'f', decimals);
}

double FixedToFloat(const QString& text)
{
    bool negative = false;
    bool pointSeen = false;
    double n = 0.0;
    double divisor = 1.0;
    for (QChar c : text) {
        if (c == u'-') {
            negative = true;
        } else if (c == u'.') {
            pointSeen = true;
            divisor = 1.0;
        } else if (IsDigit(c)) {
            n = n * 10.0 + (c.unicode() - '0');
            if (pointSeen)
                divisor *= 10.0;
        } else {
            return 0.0;
        }
    }
    const double result = n / divisor;
    return negative ? -result : result;
}

QString FieldAt(const QString& text, int n, QChar separator)
{
    if (n <= 0)
        return {};
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

int DecimalPlaces(const QString& text)
{
    if (text.isEmpty())
        return 0;
    qsizetype last = text.size() - 1;
    while (last > 0 && !IsDigit(text.at(last)))
        --last;
    int count = 0;
    for (qsizetype i = last; i >= 0; --i) {
        if (text.at(i) == u'.')
            return count;
        ++count;
    }
    return 0;
}

QString PadRight(const QString& text, int length)
{
    return text.size() >= length ? text : text.leftJustified(length, u' ');
}

QString ReplaceAfter(const QString& text, const QString& separator, const QString& tail)
{
    const qsizetype at = text.indexOf(separator);
    QString result = at < 0 ? text : text.left(at);
    if (!tail.isEmpty())
        result += separator + tail;
    return result;
}

QString HexText(uint32_t value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, u'0');
}

} // namespace tools
