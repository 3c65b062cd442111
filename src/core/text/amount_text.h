#pragma once

#include <QString>
#include <QtGlobal>

namespace tarvela {

// Amounts, quantities and prices are doubles in memory and text everywhere else: in edit fields,
// grid cells, invoice files and print variables. The decimal separator is always the comma and no
// thousands separator is used. None of these functions depends on the process locale.

// "0.00" format: the value's 18 significant digits, rounded at the second decimal with halves
// away from zero, e.g. 1234.5 -> "1234,50", -7 -> "-7,00", 0.125 -> "0,13". A value that rounds to
// zero is "0,00", never "-0,00".
QString FormatAmount(double value);

// Strict reading of a number: spaces around it are ignored; an optional sign, digits with at most
// one comma, an optional exponent (E or e, optional sign, digits). A comma alone is 0.
// Anything else throws ConversionError "'<text>' is not a valid floating point value".
double ParseAmount(const QString& text);

// Reading of a stored total: "0" and "" give 0; otherwise only "+", ",", "-" and the digits are
// kept and read with ParseAmount ("1 234,50 CZK" -> 1234.5). The error message shows the kept
// characters ("abc" -> "'' is not a valid floating point value").
double ParseAmountLenient(const QString& text);

// Strict reading of a signed 32-bit whole number (spaces around it are ignored). Throws
// ConversionError "'<text>' is not a valid integer value".
qint32 ParseWhole(const QString& text);

// Keeps only "+", "-" and the digits and reads a signed 32-bit number; gives 0 for "", for a sign
// in the middle and on overflow. Never fails. "12,50" -> 1250: drop the decimals first.
qint32 ParseWholeLenient(const QString& text);

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
