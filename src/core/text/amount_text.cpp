#include "text/amount_text.h"

#include "text/errors.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace tarvela {

// RoundAmount reproduces the rounding of the x87 80-bit format bit for bit.
static_assert(std::numeric_limits<long double>::digits == 64,
              "RoundAmount needs long double in the 80-bit extended format");

namespace {

[[noreturn]] void ThrowNotFloat(const QString& text) {
    throw ConversionError(NotANumberMessage(text));
}

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

// Reads the plain forms "1234", "12,5", "-0,25" (at most 15 digits, no exponent) without building
// a text for from_chars: the digits as a whole number below 2^53 and a power of ten up to 10^22
// are both exact doubles, so their quotient is the correctly rounded value, the very double
// from_chars gives. False for every other form, which then goes the general way.
bool TryParsePlainAmount(QStringView s, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const qsizetype n = s.size();
    qsizetype i = 0;
    const bool negative = ReadSign(s, i);
    std::int64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool comma = false;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - u'0');
            if (comma)
                ++decimals;
        } else if (c == u',' && !comma) {
            comma = true;
        } else {
            return false;
        }
    }
    if (count == 0)
        return false;
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    value = negative && digits != 0 ? -magnitude : magnitude;
    return true;
}

// Reads a strictly formed number; false when the text is not one.
bool TryParseAmount(QStringView s, double& value) {
    if (TryParsePlainAmount(s, value))
        return true;
    const qsizetype n = s.size();
    qsizetype i = 0;
    const bool negative = ReadSign(s, i);
    std::string mantissa; // ASCII digits with '.' for the comma
    bool comma = false;
    bool anyDigit = false;
    bool nonZeroDigit = false;
    qsizetype firstNonZero = -1; // position in the integer-digit count
    qsizetype intDigits = 0;
    qsizetype fracDigitsBeforeNonZero = 0;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (IsAsciiDigit(c)) {
            anyDigit = true;
            if (c != QLatin1Char('0') && !nonZeroDigit) {
                nonZeroDigit = true;
                firstNonZero = comma ? -(fracDigitsBeforeNonZero + 1) : intDigits;
            }
            if (!comma)
                ++intDigits;
            else if (!nonZeroDigit)
                ++fracDigitsBeforeNonZero;
            mantissa.push_back(static_cast<char>(c.unicode()));
        } else if (c == QLatin1Char(',')) {
            if (comma)
                return false;
            comma = true;
            mantissa.push_back('.');
        } else {
            break;
        }
    }
    if (!anyDigit && !comma)
        return false;
    long long exponent = 0;
    std::string exponentText;
    if (i < n) {
        if (s[i] != QLatin1Char('e') && s[i] != QLatin1Char('E'))
            return false;
        ++i;
        exponentText.push_back('e');
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
            exponentText.push_back(static_cast<char>(s[i].unicode()));
            ++i;
        }
        bool exponentDigit = false;
        for (; i < n && IsAsciiDigit(s[i]); ++i) {
            exponentDigit = true;
            exponentText.push_back(static_cast<char>(s[i].unicode()));
            if (exponent < 100000)
                exponent = exponent * 10 + (s[i].unicode() - '0');
        }
        if (!exponentDigit || i != n)
            return false;
        if (exponentText[1] == '-')
            exponent = -exponent;
    }
    if (!nonZeroDigit) {
        // "0", ",", "-0,00", "0E5": zero, never a negative zero.
        value = 0.0;
        return true;
    }
    const std::string ascii = mantissa + exponentText;
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the leading digit: below zero an underflow, which reads as 0.
        const long long magnitude =
            (firstNonZero >= 0 ? intDigits - firstNonZero - 1 : firstNonZero) + exponent;
        if (magnitude < 0) {
            value = 0.0;
            return true;
        }
        return false;
    }
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    return true;
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

QString FormatAmount(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0,00");

    // 18 significant digits: d.ddddddddddddddddde±x
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 17);
    const std::string sci(buffer, result.ptr);
    const auto ePos = sci.find('e');
    std::string significant;
    for (std::size_t k = 0; k < ePos; ++k) {
        if (sci[k] != '.')
            significant.push_back(sci[k]);
    }
    const int exponent = std::stoi(sci.substr(ePos + 1));

    // Fixed-point digits from the highest integer place down to the third decimal.
    const int highest = exponent > 0 ? exponent : 0;
    std::string digits; // weights highest .. -3
    for (int weight = highest; weight >= -3; --weight) {
        const int index = exponent - weight; // position in `significant`
        digits.push_back(index >= 0 && index < static_cast<int>(significant.size())
                             ? significant[static_cast<std::size_t>(index)]
                             : '0');
    }
    // Round at the second decimal: the third decimal decides, halves away from zero.
    const bool roundUp = digits.back() >= '5';
    digits.pop_back();
    if (roundUp) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') {
            digits[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k >= 0)
            ++digits[static_cast<std::size_t>(k)];
        else
            digits.insert(digits.begin(), '1');
    }
    std::string integer = digits.substr(0, digits.size() - 2);
    const std::string decimals = digits.substr(digits.size() - 2);
    const auto firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
    const bool zero = integer == "0" && decimals == "00";
    const std::string text = (value < 0 && !zero ? "-" : "") + integer + "," + decimals;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

double ParseAmount(const QString& text) {
    double value = 0.0;
    if (!TryParseAmount(WithoutOuterSpaces(text), value))
        ThrowNotFloat(text);
    return value;
}

QString NotANumberMessage(const QString& text) {
    return QStringLiteral("„%1“ není číslo.").arg(text);
}

QString LargestAmountText() {
    return QStringLiteral("999999999,99");
}

QString WithFieldName(const QString& field, const QString& message) {
    return field.isEmpty() ? message : field + QStringLiteral(": ") + message;
}

void CheckAmountLimit(const QString& field, const QString& text, double value) {
    if (std::fabs(value) > kLargestAmount) {
        throw ConversionError(
            WithFieldName(field, QStringLiteral("„%1“ je větší, než pole pojme; největší hodnota "
                                                "je %2.")
                                     .arg(text, LargestAmountText())));
    }
}

double ParseFieldAmount(const QString& field, const QString& text) {
    return ParseFieldAmount(field, QStringView(text));
}

double ParseFieldAmount(const QString& field, QStringView text) {
    double value = 0.0;
    if (!TryParseAmount(WithoutOuterSpaces(text), value))
        throw ConversionError(WithFieldName(field, NotANumberMessage(text.toString())));
    if (std::fabs(value) > kLargestAmount)
        CheckAmountLimit(field, text.toString(), value);
    return value;
}

double ParseAmountLenient(const QString& text) {
    if (text.isEmpty() || text == QLatin1String("0"))
        return 0.0;
    QString kept;
    for (QChar c : text) {
        if (IsAsciiDigit(c) || c == QLatin1Char('+') || c == QLatin1Char(',') ||
            c == QLatin1Char('-'))
            kept.append(c);
    }
    return ParseAmount(kept);
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

double RoundAmount(double value, int digit) {
    long double power = 1.0L;
    for (int k = 0; k < (digit < 0 ? -digit : digit); ++k)
        power *= 10.0L;
    if (digit < 0)
        power = 1.0L / power;
    const double factor = static_cast<double>(power);
    const long double quotient = static_cast<long double>(value) / factor;
    const long double whole = std::nearbyint(quotient); // halves to even (default rounding mode)
    const double result = static_cast<double>(whole * factor);
    return result == 0.0 ? 0.0 : result; // never a negative zero
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
