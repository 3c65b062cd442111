#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace tarvela {

// Exact money for printed documents: whole haléře in a 64-bit integer, so that sums of printed
// figures never drift from the figures themselves.

// Reads an amount caption or typed amount ("1234,56", "-7709,00", "1 234,5", "443,83", "12",
// "12.50") as haléře. Spaces are ignored; at most two decimals. Nothing when the text is empty
// or is not such an amount.
std::optional<qint64> ParseHalere(const QString& text);

// "1234,56", "-0,50", "0,00": two decimals, decimal comma, no grouping.
QString FormatHalere(qint64 halere);

// Rounds to whole crowns, halves away from zero (46563,50 -> 46564,00; -0,50 -> -1,00).
qint64 RoundToCrowns(qint64 halere);

// The Czech word for crowns after a whole number: 1 "koruna", 2 to 4 "koruny", otherwise
// "korun" (also for 0, negative numbers take the form of their magnitude).
QString CrownsWord(qint64 crowns);

} // namespace tarvela
