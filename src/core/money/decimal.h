#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace tarvela {

// Exact decimal numbers for what the user types into money fields: quantities, unit prices and
// exchange rates. A value is a whole number of millionths in 64 bits, so every typed value up to
// six decimals is held exactly and products are formed exactly in 128 bits. Amounts of money are
// whole haléře in qint64 (printing/money.h); the functions below are the only places where a
// typed decimal becomes haléře.

// A signed 128-bit integer for exact products (a GCC and Clang extension).
__extension__ typedef __int128 WideInt;

// The most decimals a quantity, a unit price or an exchange rate may have.
inline constexpr int kMaxDecimals = 6;

class Decimal {
public:
    static constexpr qint64 kScale = 1000000; // 10^kMaxDecimals

    constexpr Decimal() = default;
    static constexpr Decimal FromMillionths(qint64 millionths) { return Decimal(millionths); }
    static constexpr Decimal FromWhole(qint64 whole) { return Decimal(whole * kScale); }

    constexpr qint64 millionths() const { return units_; }
    constexpr bool isZero() const { return units_ == 0; }
    constexpr bool isNegative() const { return units_ < 0; }

    // "12,5", "-0,000001", "3": the shortest text with a decimal comma (or `separator`).
    QString toText(QChar separator = QLatin1Char(',')) const;

    constexpr auto operator<=>(const Decimal&) const = default;

private:
    constexpr explicit Decimal(qint64 units) : units_(units) {}
    qint64 units_ = 0;
};

// Why a text is not a decimal number of at most kMaxDecimals decimals.
enum class DecimalError { None, NotANumber, TooManyDecimals, TooLarge };

// Reads a typed number exactly: spaces around it are ignored; an optional sign, digits with at
// most one comma, an optional exponent (E or e, optional sign, digits); a comma alone is 0 (the
// forms the program has always accepted). More than kMaxDecimals significant decimals (after the
// exponent is applied) is TooManyDecimals, never rounded; a magnitude beyond `largest` TooLarge.
DecimalError ReadDecimal(QStringView text, Decimal& value, Decimal largest);

// The largest quantity and unit price: 999 999 999,99 (the largest amount the program holds).
inline constexpr Decimal kLargestTypedNumber = Decimal::FromMillionths(999999999990000);

// ReadDecimal for the field the user typed into; a failure throws ConversionError naming the
// field: "Počet MJ: „1.5“ není číslo.", "Cena MJ: „0,1234567“ má víc než 6 desetinných míst.",
// "Cena MJ: „1e20“ je větší, než pole pojme; největší hodnota je 999999999,99.".
Decimal ParseFieldDecimal(const QString& field, QStringView text);

// An amount of money the user types ("1210,5"): ParseFieldDecimal, and refused with
// ConversionError naming the field when it has more than two decimals ("Uhrazená částka:
// „12,345“ má víc než 2 desetinná místa."). Whole haléře.
qint64 ParseFieldHalere(const QString& field, QStringView text);

// Half away from zero: the nearest whole number of `numerator / denominator` (denominator > 0).
qint64 DivideRounded(WideInt numerator, qint64 denominator);

// The amount of a row in haléře: quantity x unit price exactly, rounded half away from zero.
qint64 RowAmountHalere(Decimal quantity, Decimal price);

// The tax of an amount in haléře at a whole-number rate in per cent, rounded half away from zero.
qint64 TaxHalere(qint64 baseHalere, int percent);

// --- Exchange rates ----------------------------------------------------------------------------

// Crowns for one unit of a foreign currency, from 0,0001 to 100 000 with at most six decimals.
inline constexpr Decimal kSmallestExchangeRate = Decimal::FromMillionths(100);
inline constexpr Decimal kLargestExchangeRate = Decimal::FromWhole(100000);

// The rate as typed ("25,125", spaces around ignored), when it is a plausible rate; nothing for
// an empty text or anything else.
std::optional<Decimal> ParseExchangeRate(const QString& text);

// Refuses a typed rate that is not plausible with ConversionError:
// "Kurz: „0“ není kurz; zadejte počet korun za jednotku měny od 0,0001 do 100000, nejvýš 6
// desetinných míst, například 25,125.". An empty text passes.
void CheckExchangeRate(const QString& text);

// Refuses a rate's date before 1.1.1991 or after `today` with ValidationError naming the field
// "Datum kurzu". An invalid date passes (its text is checked where it is typed).
void CheckExchangeRateDate(const QDate& date, const QDate& today);

// An amount in haléře of a foreign currency in crowns at that rate, rounded to haléře.
qint64 ToCrowns(qint64 foreignHalere, Decimal rate);

} // namespace tarvela
