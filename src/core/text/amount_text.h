#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace tarvela {

// Amounts, quantities and prices are doubles in memory and text everywhere else: in edit fields,
// grid cells, invoice files and print variables. The decimal separator is always the comma and no
// thousands separator is used. None of these functions depends on the process locale.

// "0.00" format: the value's 18 significant digits, rounded at the second decimal with halves
// away from zero, e.g. 1234.5 -> "1234,50", -7 -> "-7,00", 0.125 -> "0,13". A value that rounds to
// zero is "0,00", never "-0,00".
QString FormatAmount(double value);

// The largest amount the program holds in a quantity, a unit price, a row amount, an invoice total
// and a paid amount: 999 999 999,99. Every such value fits the print columns (15 characters) and
// its whole crowns fit the amount in words, so no total or print ever cuts leading digits.
inline constexpr double kLargestAmount = 999999999.99;
// "999999999,99": the limit as the messages name it.
QString LargestAmountText();

// "„1.5“ není číslo.": the message of a text that does not read as a number.
QString NotANumberMessage(const QString& text);

// "Počet MJ: " + message; the message alone for an empty field name.
QString WithFieldName(const QString& field, const QString& message);

// Strict reading of a number: spaces around it are ignored; an optional sign, digits with at most
// one comma, an optional exponent (E or e, optional sign, digits). A comma alone is 0.
// Anything else throws ConversionError "„<text>“ není číslo.".
double ParseAmount(const QString& text);

// ParseAmount for the field the user typed into: the failure names the field ("Počet MJ: „1.5“
// není číslo."), and a value beyond kLargestAmount either way is refused with ConversionError
// "Cena MJ: „1e20“ je větší, než pole pojme; největší hodnota je 999999999,99.".
double ParseFieldAmount(const QString& field, const QString& text);
// The same on a part of a longer text (a cell of a row line); the text is copied only for the
// message of a failure.
double ParseFieldAmount(const QString& field, QStringView text);

// Refuses a computed value beyond kLargestAmount with the message above; `text` is how the value
// is shown.
void CheckAmountLimit(const QString& field, const QString& text, double value);

// Reading of a stored total: "0" and "" give 0; otherwise only "+", ",", "-" and the digits are
// kept and read with ParseAmount ("1 234,50 CZK" -> 1234.5). The error message shows the kept
// characters ("abc" -> "„“ není číslo.").
double ParseAmountLenient(const QString& text);

// Strict reading of a signed 32-bit whole number (spaces around it are ignored). Throws
// ConversionError "„<text>“ není celé číslo.".
qint32 ParseWhole(const QString& text);

// Keeps only "+", "-" and the digits and reads a signed 32-bit number; gives 0 for "", for a sign
// in the middle and on overflow. Never fails. "12,50" -> 1250: drop the decimals first.
qint32 ParseWholeLenient(const QString& text);

// The whole crowns of a paid amount as the user types it, with a decimal comma: "567,44" -> 567.
// Full stops are dropped as before ("1.500" -> 1500); never fails (0 for what does not read).
qint32 WholeCrownsOfPaidAmount(const QString& text);

// Rounds to a power of ten (digit -2: hundredths) with halves to even, computed in 80-bit extended
// precision with the factor stored as a double: RoundAmount(0.125, -2) == 0.12,
// RoundAmount(0.025, -2) == 0.03.
double RoundAmount(double value, int digit);

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
