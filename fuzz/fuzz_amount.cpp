// The exact reading of typed numbers (ReadDecimal, ParseFieldDecimal) against an independent
// reading of the same text: its digits and exponent as a whole number times a power of ten in
// 128 bits; and the round trip through the value's text.

#include "fuzz_support.h"

#include "money/decimal.h"
#include "text/errors.h"

#include <optional>
#include <string>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

struct Expectation {
    DecimalError error = DecimalError::None;
    qint64 millionths = 0;
};

// What the text stands for by the documented grammar: spaces (code 32) around it, an optional
// sign, digits with at most one comma (at least a digit or the comma), an optional exponent of E
// or e, an optional sign and digits. The value is digits x 10^(exponent - decimals); more than
// six significant decimals are refused before the size is looked at.
Expectation Expected(const QString& raw, qint64 largest) {
    QString text = raw;
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    std::string digits;
    long long decimals = 0;
    bool digit = false;
    bool comma = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digit = true;
            digits.push_back(static_cast<char>(c));
            decimals += comma ? 1 : 0;
        } else if (c == u',' && !comma) {
            comma = true;
        } else {
            break;
        }
    }
    if (!digit && !comma)
        return {DecimalError::NotANumber, 0};
    long long exponent = 0;
    if (i < n) {
        if (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E'))
            return {DecimalError::NotANumber, 0};
        ++i;
        bool exponentNegative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            exponentNegative = text[i++] == QLatin1Char('-');
        bool exponentDigit = false;
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            exponentDigit = true;
            exponent = std::min(exponent * 10 + (text[i].unicode() - '0'), 100000000LL);
        }
        if (!exponentDigit || i != n)
            return {DecimalError::NotANumber, 0};
        if (exponentNegative)
            exponent = -exponent;
    }
    // digits x 10^power with neither leading nor trailing zeros in digits.
    long long power = exponent - decimals;
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.empty())
        return {DecimalError::None, 0};
    while (digits.back() == '0') {
        digits.pop_back();
        ++power;
    }
    if (power < -6)
        return {DecimalError::TooManyDecimals, 0};
    // In millionths: digits x 10^(power + 6), at least 1; more than 19 digits is beyond 64 bits.
    if (static_cast<long long>(digits.size()) + power + 6 > 19)
        return {DecimalError::TooLarge, 0};
    WideInt value = 0;
    for (const char d : digits)
        value = value * 10 + (d - '0');
    for (long long k = 0; k < power + 6; ++k)
        value *= 10;
    if (value > largest)
        return {DecimalError::TooLarge, 0};
    return {DecimalError::None, static_cast<qint64>(negative ? -value : value)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString text = RemainingText(in);
    const Expectation expected = Expected(text, kLargestTypedNumber.millionths());

    Decimal value = Decimal::FromWhole(7);
    const DecimalError error = ReadDecimal(text, value, kLargestTypedNumber);
    TARVELA_FUZZ_CHECK(error == expected.error, "the reading decides as the grammar does",
                       Quote(text));

    // The field's message says the same.
    try {
        const Decimal field = ParseFieldDecimal(QStringLiteral("Cena MJ"), text);
        TARVELA_FUZZ_CHECK(error == DecimalError::None && field == value,
                           "the field reads what the reading reads", Quote(text));
    } catch (const ConversionError& e) {
        const QString quoted = QStringLiteral("Cena MJ: „") + text + QStringLiteral("“ ");
        const QString reason =
            error == DecimalError::NotANumber ? QStringLiteral("není číslo.")
            : error == DecimalError::TooManyDecimals
                ? QStringLiteral("má víc než 6 desetinných míst; zadejte nejvýš 6.")
                : QStringLiteral("je větší, než pole pojme; největší hodnota je "
                                 "999999999,99.");
        TARVELA_FUZZ_CHECK(error != DecimalError::None && e.message() == quoted + reason,
                           "the refusal names the field, the text and why", e.message());
    }
    if (error != DecimalError::None)
        return 0;

    TARVELA_FUZZ_CHECK(value.millionths() == expected.millionths, "the value is exact",
                       Quote(text) + QStringLiteral(" -> ") + value.toText());
    Decimal again;
    TARVELA_FUZZ_CHECK(ReadDecimal(value.toText(), again, kLargestTypedNumber) ==
                               DecimalError::None &&
                           again == value,
                       "the value's text reads back as the value", value.toText());
    TARVELA_FUZZ_CHECK(!value.toText().startsWith(QLatin1Char('-')) || value.isNegative(),
                       "never a negative zero", Quote(text));
    return 0;
}
