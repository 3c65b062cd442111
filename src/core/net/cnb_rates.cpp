#include "net/cnb_rates.h"

#include "text/errors.h"
#include "text/helpers.h"

#include <QStringList>

namespace tarvela {

namespace {

// The largest rate a line may give for its amount of units: a billion crowns.
constexpr Decimal kLargestCnbRate = Decimal::FromWhole(1000000000);

[[noreturn]] void Unexpected(int line) {
    throw ValidationError(
        QStringLiteral("Soubor kurzů ČNB má neočekávaný tvar (řádek %1).").arg(line));
}

} // namespace

std::optional<Decimal> CnbDailyRates::rate(const QString& code) const {
    const auto it = rates.constFind(UpperCaseAscii(TrimText(code)));
    if (it == rates.constEnd())
        return std::nullopt;
    return *it;
}

CnbDailyRates ParseCnbDailyRates(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    CnbDailyRates result;
    if (lines.size() < 2)
        Unexpected(1);
    result.date =
        QDate::fromString(lines[0].section(QLatin1Char(' '), 0, 0), QStringLiteral("dd.MM.yyyy"));
    if (!result.date.isValid())
        Unexpected(1);
    if (!lines[1].startsWith(QStringLiteral("země|měna|množství|kód|kurz")))
        Unexpected(2);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString line = TrimText(lines[i]);
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(QLatin1Char('|'));
        const int number = static_cast<int>(i + 1);
        if (cells.size() != 5)
            Unexpected(number);
        bool ok = false;
        const int amount = cells[2].toInt(&ok);
        if (!ok || amount <= 0)
            Unexpected(number);
        Decimal rate;
        if (ReadDecimal(cells[4], rate, kLargestCnbRate) != DecimalError::None ||
            cells[3].size() != 3)
            Unexpected(number);
        // Crowns for one unit; a rate that is zero at six decimals is no rate.
        const qint64 perUnit = DivideRounded(rate.millionths(), amount);
        if (perUnit <= 0)
            Unexpected(number);
        result.rates.insert(UpperCaseAscii(cells[3]), Decimal::FromMillionths(perUnit));
    }
    if (result.rates.isEmpty())
        Unexpected(3);
    return result;
}

QString CnbRateText(Decimal rate) {
    return rate.toText();
}

QString CnbDailyRatesUrl(const QDate& date, const QString& baseUrl) {
    const QString base = baseUrl.isEmpty() ? QString::fromLatin1(kCnbDailyRatesUrl) : baseUrl;
    return base + QStringLiteral("?date=") + date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace tarvela
