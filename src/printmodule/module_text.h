#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// Text helpers of the print module. The module does not link the program's libraries, so it has
// its own small Windows-1250 table.
namespace tarvela::prm1 {

// Decodes a zero-terminated Windows-1250 text; a null pointer gives the empty text.
// A text in memory of its own, for anything Qt may keep after the call: a QStringLiteral points
// into the module's read-only data, which goes away when the program unloads the module.
inline QString OwnedText(const char* latin1) {
    return QString::fromLatin1(latin1);
}

QString FromCp1250(const char* text);
QString FromCp1250(const QByteArray& bytes);

// Encodes for messages and labels handed back to the program: a character that Windows-1250
// cannot hold becomes "?" (these texts are only shown, never stored).
QByteArray ToCp1250ForDisplay(const QString& text);

// Copies a text into a caller's buffer of `size` bytes, zero-terminated and cut when needed.
void CopyToBuffer(const QString& text, char* buffer, qint32 size);

// A decimal number as read from a cell: units of 10^-decimals.
struct Decimal {
    qint64 units = 0;
    int decimals = 0;
};

// Reads a number written the way the program writes amounts: an optional sign, digits that may
// be grouped by spaces, and an optional decimal comma or point with at most six decimals
// ("1 234,50", "-3", "+0.5"). Blank text and anything else give no value.
std::optional<Decimal> ParseNumber(const QString& text);

// Brings a number to more decimals; false on overflow.
bool Rescale(Decimal& number, int decimals);

// Writes a number with its decimals and a decimal comma, without grouping ("1234,50", "-3").
QString FormatNumber(const Decimal& number);

} // namespace tarvela::prm1
