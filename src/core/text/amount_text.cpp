#include "text/amount_text.h"

#include "text/errors.h"

#include <limits>

namespace tarvela {

namespace {

[[noreturn]] void ThrowNotInteger(const QString& text) {
    throw ConversionError(QStringLiteral("„%1“ není celé číslo.").arg(text));
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The text without leading and trailing spaces (code 32 only).
QStringView WithoutOuterSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// Steps over a leading "+" or "-" at i; true for "-".
bool ReadSign(QStringView s, qsizetype& i) {
    if (i >= s.size() || (s[i] != QLatin1Char('+') && s[i] != QLatin1Char('-')))
        return false;
    return s[i++] == QLatin1Char('-');
}

// Reads an optional sign and decimal digits as a 32-bit number; false otherwise.
bool TryParseWhole(QStringView s, qint32& value) {
    qsizetype i = 0;
    const bool negative = ReadSign(s, i);
    if (i == s.size())
        return false;
    qint64 magnitude = 0;
    for (; i < s.size(); ++i) {
        if (!IsAsciiDigit(s[i]))
            return false;
        magnitude = magnitude * 10 + (s[i].unicode() - '0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    if (negative)
        magnitude = -magnitude;
    if (magnitude > std::numeric_limits<qint32>::max())
        return false;
    value = static_cast<qint32>(magnitude);
    return true;
}

} // namespace

QString NotANumberMessage(const QString& text) {
    return QStringLiteral("„%1“ není číslo.").arg(text);
}

QString LargestAmountText() {
    return QStringLiteral("999999999,99");
}

QString WithFieldName(const QString& field, const QString& message) {
    return field.isEmpty() ? message : field + QStringLiteral(": ") + message;
}

qint64 ParseHalereLenient(const QString& text) {
    if (text.isEmpty() || text == QLatin1String("0"))
        return 0;
    QString kept;
    for (QChar c : text) {
        if (IsAsciiDigit(c) || c == QLatin1Char('+') || c == QLatin1Char(',') ||
            c == QLatin1Char('-'))
            kept.append(c);
    }
    const QStringView s(kept);
    qsizetype i = 0;
    const bool negative = ReadSign(s, i);
    // The whole crowns with leading zeros left out, the first three decimals (the third decides
    // the rounding: the value is exact, so a third decimal of 5 or more is at least a half).
    qint64 crowns = 0;
    int crownDigits = 0;
    int decimals[3] = {0, 0, 0};
    int decimalCount = 0;
    bool comma = false;
    bool anyDigit = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (IsAsciiDigit(c)) {
            anyDigit = true;
            const int digit = c.unicode() - '0';
            if (comma) {
                if (decimalCount < 3)
                    decimals[decimalCount] = digit;
                ++decimalCount;
            } else if (crownDigits > 0 || digit != 0) {
                if (++crownDigits <= 13)
                    crowns = crowns * 10 + digit;
            }
        } else if (c == QLatin1Char(',') && !comma) {
            comma = true;
        } else {
            throw ConversionError(NotANumberMessage(kept));
        }
    }
    if (!anyDigit && !comma)
        throw ConversionError(NotANumberMessage(kept));
    qint64 halere =
        crownDigits > 13 ? kLargestStoredHalere + 1 : crowns * 100 + decimals[0] * 10 + decimals[1];
    if (decimals[2] >= 5)
        ++halere;
    if (halere > kLargestStoredHalere)
        throw ConversionError(
            QStringLiteral("„%1“ je větší, než pole pojme; největší hodnota je %2,%3.")
                .arg(kept)
                .arg(kLargestStoredHalere / 100)
                .arg(kLargestStoredHalere % 100, 2, 10, QLatin1Char('0')));
    return negative ? -halere : halere;
}

qint32 ParseWhole(const QString& text) {
    qint32 value = 0;
    if (!TryParseWhole(WithoutOuterSpaces(text), value))
        ThrowNotInteger(text);
    return value;
}

qint32 ParseWholeLenient(const QString& text) {
    if (text.isEmpty() || text == QLatin1String("0"))
        return 0;
    QString kept;
    for (QChar c : text) {
        if (IsAsciiDigit(c) || c == QLatin1Char('+') || c == QLatin1Char('-'))
            kept.append(c);
    }
    if (kept.isEmpty())
        return 0;
    qint32 value = 0;
    return TryParseWhole(kept, value) ? value : 0;
}

qint32 WholeCrownsOfPaidAmount(const QString& text) {
    QString whole = text;
    qsizetype decimals = whole.indexOf(QLatin1Char(','));
    if (decimals < 0) {
        // Files written before the comma was accepted may hold "506.75": a last full stop with
        // one or two digits after it is the decimal point; one with three groups thousands.
        const qsizetype stop = whole.lastIndexOf(QLatin1Char('.'));
        const qsizetype after = whole.size() - stop - 1;
        if (stop >= 0 && (after == 1 || after == 2) && IsDigitsOnly(whole.mid(stop + 1)))
            decimals = stop;
    }
    if (decimals >= 0)
        whole.truncate(decimals);
    return ParseWholeLenient(whole);
}

QString PadAmountDecimals(const QString& text) {
    if (text.isEmpty())
        return QStringLiteral("0,00");
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return text + QStringLiteral(",00");
    if (text.size() - comma - 1 == 1)
        return text + QLatin1Char('0');
    return text;
}

QString AppendZeroDecimals(const QString& text) {
    if (!text.isEmpty() && !text.contains(QLatin1Char(',')))
        return text + QStringLiteral(",00");
    return text;
}

QString CompleteQuantity(const QString& text) {
    // Position of the first comma counted from 1, 0 when there is none.
    const qsizetype position = text.indexOf(QLatin1Char(',')) + 1;
    if (position == text.size())
        return text + QLatin1Char('0');
    return text;
}

QString StripSpaces(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

bool IsDigitsOnly(const QString& text) {
    for (QChar c : text) {
        if (!IsAsciiDigit(c))
            return false;
    }
    return true;
}

bool IsNumberChars(const QString& text) {
    for (QChar c : text) {
        if (!IsAsciiDigit(c) && c != QLatin1Char(',') && c != QLatin1Char('-'))
            return false;
    }
    return true;
}

} // namespace tarvela
