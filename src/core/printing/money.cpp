#include "printing/money.h"

#include <limits>

namespace tarvela {

std::optional<qint64> ParseHalere(const QString& text) {
    QString t;
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QChar(0x00A0))
            t += c;
    }
    if (t.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    qint64 whole = 0;
    int wholeDigits = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
        if (whole > std::numeric_limits<qint64>::max() / 1000)
            return std::nullopt;
        whole = whole * 10 + (t[i].unicode() - '0');
        ++wholeDigits;
    }
    qint64 fraction = 0;
    int fractionDigits = 0;
    if (i < t.size() && (t[i] == QLatin1Char(',') || t[i] == QLatin1Char('.'))) {
        for (++i; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
            if (++fractionDigits > 2)
                return std::nullopt;
            fraction = fraction * 10 + (t[i].unicode() - '0');
        }
    }
    if (i != t.size() || (wholeDigits == 0 && fractionDigits == 0))
        return std::nullopt;
    if (fractionDigits == 1)
        fraction *= 10;
    const qint64 value = whole * 100 + fraction;
    return negative ? -value : value;
}

QString FormatHalere(qint64 halere) {
    const qint64 magnitude = halere < 0 ? -halere : halere;
    QString text = QString::number(magnitude / 100) + QLatin1Char(',') +
                   QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    if (halere < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

qint64 RoundToCrowns(qint64 halere) {
    const qint64 magnitude = halere < 0 ? -halere : halere;
    const qint64 rounded = (magnitude + 50) / 100 * 100;
    return halere < 0 ? -rounded : rounded;
}

QString CrownsWord(qint64 crowns) {
    const qint64 n = crowns < 0 ? -crowns : crowns;
    if (n == 1)
        return QStringLiteral("koruna");
    if (n >= 2 && n <= 4)
        return QStringLiteral("koruny");
    return QStringLiteral("korun");
}

} // namespace tarvela
