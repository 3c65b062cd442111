#pragma once

#include "money/decimal.h"

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>

#include <optional>

namespace tarvela {

// The Czech National Bank's daily exchange rates as its text file gives them: a date line
// ("05.03.2026 #45"), a header line, then one line per currency "země|měna|množství|kód|kurz"
// with a decimal comma; the rate is for `množství` units.
struct CnbDailyRates {
    QDate date; // the day the rates were declared for
    // code -> crowns for one unit: kurz / množství exactly, rounded to six decimals with halves
    // away from zero (JPY "100|JPY|16,123" -> 0,16123)
    QMap<QString, Decimal> rates;

    // The rate of a currency code (any letter case); nothing when the file has none.
    std::optional<Decimal> rate(const QString& code) const;
};

// Reads the file (UTF-8). A text of another shape raises ValidationError "Soubor kurzů ČNB má
// neočekávaný tvar (řádek n)."; lines that do not read are not skipped silently. A rate is a
// positive number with a decimal comma and at most six decimals.
CnbDailyRates ParseCnbDailyRates(const QByteArray& bytes);

// A rate as the exchange-rate field holds it: decimal comma, up to six decimals, no trailing
// zeros ("24,335", "0,16123").
QString CnbRateText(Decimal rate);

// The address of the daily file for a day, below `baseUrl` (the bank's own by default; tests
// pass a local server): baseUrl + "?date=dd.MM.yyyy".
QString CnbDailyRatesUrl(const QDate& date, const QString& baseUrl = QString());

// The bank's address of the daily file.
inline constexpr char kCnbDailyRatesUrl[] =
    "https://www.cnb.cz/cs/financni-trhy/devizovy-trh/kurzy-devizoveho-trhu/"
    "kurzy-devizoveho-trhu/denni_kurz.txt";

} // namespace tarvela
