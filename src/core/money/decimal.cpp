#include "money/decimal.h"

#include "text/amount_text.h"
#include "text/errors.h"

#include <string>

namespace tarvela {

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

constexpr qint64 kPowers[] = {1,
                              10,
                              100,
                              1000,
                              10000,
                              100000,
                              1000000,
                              10000000,
                              100000000,
                              1000000000,
                              10000000000,
                              100000000000,
                              1000000000000,
                              10000000000000,
                              100000000000000,
                              1000000000000000,
                              10000000000000000,
                              100000000000000000};

} // namespace

QString Decimal::toText(QChar separator) const {
    const qint64 magnitude = units_ < 0 ? -units_ : units_;
    QString text = QString::number(magnitude / kScale);
    qint64 fraction = magnitude % kScale;
    if (fraction != 0) {
        int digits = kMaxDecimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        text += separator + QStringLiteral("%1").arg(fraction, digits, 10, QLatin1Char('0'));
    }
    if (units_ < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

DecimalError ReadDecimal(QStringView text, Decimal& value, Decimal largest) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    const QStringView s = text.mid(begin, end - begin);

    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        negative = s[i++] == QLatin1Char('-');
    std::string digits; // significant digits, leading zeros left out
    long long fractionDigits = 0;
    bool comma = false;
    bool anyDigit = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (IsDigit(c)) {
            anyDigit = true;
            if (comma)
                ++fractionDigits;
            if (!digits.empty() || c != QLatin1Char('0'))
                digits.push_back(static_cast<char>(c.unicode()));
        } else if (c == QLatin1Char(',') && !comma) {
            comma = true;
        } else {
            break;
        }
    }
    if (!anyDigit && !comma)
        return DecimalError::NotANumber;
    long long exponent = 0;
    if (i < s.size()) {
        if (s[i] != QLatin1Char('e') && s[i] != QLatin1Char('E'))
            return DecimalError::NotANumber;
        ++i;
        bool exponentNegative = false;
        if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            exponentNegative = s[i++] == QLatin1Char('-');
        bool exponentDigit = false;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            exponentDigit = true;
            if (exponent < 1000000)
                exponent = exponent * 10 + (s[i].unicode() - '0');
        }
        if (!exponentDigit || i != s.size())
            return DecimalError::NotANumber;
        if (exponentNegative)
            exponent = -exponent;
    }
    if (digits.empty()) {
        value = Decimal();
        return DecimalError::None;
    }
    // value = digits x 10^power
    long long power = exponent - fractionDigits;
    while (digits.back() == '0') {
        digits.pop_back();
        ++power;
    }
    if (power < -kMaxDecimals)
        return DecimalError::TooManyDecimals;
    const long long shift = power + kMaxDecimals; // millionths = digits x 10^shift
    // Up to 18 digits of millionths, which 64 bits always hold (999 999 999 999,999999).
    if (static_cast<long long>(digits.size()) + shift > 18)
        return DecimalError::TooLarge;
    qint64 units = 0;
    for (const char d : digits)
        units = units * 10 + (d - '0');
    units *= kPowers[shift];
    if (units > largest.millionths())
        return DecimalError::TooLarge;
    value = Decimal::FromMillionths(negative ? -units : units);
    return DecimalError::None;
}

Decimal ParseFieldDecimal(const QString& field, QStringView text) {
    Decimal value;
    switch (ReadDecimal(text, value, kLargestTypedNumber)) {
    case DecimalError::None:
        return value;
    case DecimalError::NotANumber:
        throw ConversionError(WithFieldName(field, NotANumberMessage(text.toString())));
    case DecimalError::TooManyDecimals:
        throw ConversionError(WithFieldName(
            field, QStringLiteral("„%1“ má víc než %2 desetinných míst; zadejte nejvýš %2.")
                       .arg(text.toString())
                       .arg(kMaxDecimals)));
    case DecimalError::TooLarge:
        break;
    }
    throw ConversionError(
        WithFieldName(field, QStringLiteral("„%1“ je větší, než pole pojme; největší hodnota "
                                            "je %2.")
                                 .arg(text.toString(), LargestAmountText())));
}

qint64 ParseFieldHalere(const QString& field, QStringView text) {
    const Decimal value = ParseFieldDecimal(field, text);
    constexpr qint64 kMillionthsPerHaler = Decimal::kScale / 100;
    if (value.millionths() % kMillionthsPerHaler != 0)
        throw ConversionError(WithFieldName(
            field, QStringLiteral("„%1“ má víc než 2 desetinná místa.").arg(text.toString())));
    return value.millionths() / kMillionthsPerHaler;
}

qint64 DivideRounded(WideInt numerator, qint64 denominator) {
    const bool negative = numerator < 0;
    const WideInt magnitude = negative ? -numerator : numerator;
    WideInt quotient = magnitude / denominator;
    if ((magnitude % denominator) * 2 >= denominator)
        ++quotient;
    return static_cast<qint64>(negative ? -quotient : quotient);
}

qint64 RowAmountHalere(Decimal quantity, Decimal price) {
    // millionths x millionths = 10^-12; haléře are 10^-2.
    return DivideRounded(static_cast<WideInt>(quantity.millionths()) * price.millionths(),
                         10000000000);
}

qint64 TaxHalere(qint64 baseHalere, int percent) {
    return DivideRounded(static_cast<WideInt>(baseHalere) * percent, 100);
}

std::optional<Decimal> ParseExchangeRate(const QString& text) {
    Decimal rate;
    if (ReadDecimal(text, rate, kLargestExchangeRate) != DecimalError::None)
        return std::nullopt;
    if (rate < kSmallestExchangeRate)
        return std::nullopt;
    return rate;
}

void CheckExchangeRate(const QString& text) {
    if (text.trimmed().isEmpty() || ParseExchangeRate(text))
        return;
    throw ConversionError(
        QStringLiteral("Kurz: „%1“ není kurz; zadejte počet korun za jednotku měny od %2 do %3, "
                       "nejvýš %4 desetinných míst, například 25,125.")
            .arg(text, kSmallestExchangeRate.toText(), kLargestExchangeRate.toText())
            .arg(kMaxDecimals));
}

void CheckExchangeRateDate(const QDate& date, const QDate& today) {
    if (!date.isValid())
        return;
    if (date < QDate(1991, 1, 1))
        throw ValidationError(QStringLiteral("Datum kurzu: %1 je před rokem 1991; kurz ČNB tak "
                                             "starý není.")
                                  .arg(date.toString(QStringLiteral("d.M.yyyy"))));
    if (date > today)
        throw ValidationError(
            QStringLiteral("Datum kurzu: %1 je v budoucnosti; kurz se bere ke dni, který už byl.")
                .arg(date.toString(QStringLiteral("d.M.yyyy"))));
}

qint64 ToCrowns(qint64 foreignHalere, Decimal rate) {
    return DivideRounded(static_cast<WideInt>(foreignHalere) * rate.millionths(), Decimal::kScale);
}

} // namespace tarvela
