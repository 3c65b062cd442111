#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace tarvela {

// Money is exact: amounts are whole haléře in a 64-bit integer, quantities, unit prices and
// exchange rates are Decimal (money/decimal.h). In edit fields, grid cells, invoice files and print
// variables they are text: the decimal separator is always the comma and no thousands separator is
// used. None of these functions depends on the process locale.

// The largest amount the program holds in a quantity, a unit price, a row amount, an invoice total
// and a paid amount: 999 999 999,99. Every such value fits the print columns (15 characters) and
// its whole crowns fit the amount in words, so no total or print ever cuts leading digits.
inline constexpr qint64 kLargestAmountHalere = 99999999999;
// "999999999,99": the limit as the messages name it.
QString LargestAmountText();

// The largest stored total or paid amount that is read: 999 999 999 999,99 (more than the program
// writes, so that a hand-edited file is shown as it is, never cut).
inline constexpr qint64 kLargestStoredHalere = 99999999999999;

// "„1.5“ není číslo.": the message of a text that does not read as a number.
QString NotANumberMessage(const QString& text);

// "Počet MJ: " + message; the message alone for an empty field name.
QString WithFieldName(const QString& field, const QString& message);

// Reading of a stored total in haléře: "0" and "" give 0; otherwise only "+", ",", "-" and the
// digits are kept ("1 234,50 CZK" -> 123450, "1.234,50" -> 123450) and read exactly as an optional
// sign and digits with at most one comma, rounded to haléře with halves away from zero ("0,125" ->
// 13, "-0,004" -> 0). What does not read throws ConversionError quoting the kept characters
// ("abc" -> "„“ není číslo."); a magnitude beyond kLargestStoredHalere throws ConversionError
// "„<kept>“ je větší, než pole pojme; největší hodnota je 999999999999,99.".
qint64 ParseHalereLenient(const QString& text);

// Strict reading of a signed 32-bit whole number (spaces around it are ignored). Throws
// ConversionError "„<text>“ není celé číslo.".
qint32 ParseWhole(const QString& text);

// Keeps only "+", "-" and the digits and reads a signed 32-bit number; gives 0 for "", for a sign
// in the middle and on overflow. Never fails. "12,50" -> 1250: drop the decimals first.
qint32 ParseWholeLenient(const QString& text);

// The whole crowns of a paid amount as the user types it, with a decimal comma: "567,44" -> 567.
// Full stops are dropped as before ("1.500" -> 1500); never fails (0 for what does not read).
qint32 WholeCrownsOfPaidAmount(const QString& text);

// Unit price on leaving its field: "" -> "0,00", "12" -> "12,00", "12,5" -> "12,50"; any other text
// (e.g. "12," or "12,505") stays.
QString PadAmountDecimals(const QString& text);

// A non-empty text without a comma gets ",00"; everything else stays.
QString AppendZeroDecimals(const QString& text);

// Quantity on leaving its field: when the first comma is the last character, or the text is
// empty, "0" is appended ("5," -> "5,0", "" -> "0"); anything else stays.
QString CompleteQuantity(const QString& text);

// Removes every space (code 32); other white space stays.
QString StripSpaces(const QString& text);

// True when every character is 0-9 (true for "").
bool IsDigitsOnly(const QString& text);

// True when every character is 0-9, "," or "-" (true for "").
bool IsNumberChars(const QString& text);

} // namespace tarvela
