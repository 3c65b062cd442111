#include "net/cnb_rates.h"

#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QStringList>

namespace tarvela {

namespace {

[[noreturn]] void Unexpected(int line) {
    throw ValidationError(
        QStringLiteral("Soubor kurzů ČNB má neočekávaný tvar (řádek %1).").arg(line));
}

} // namespace

std::optional<double> CnbDailyRates::rate(const QString& code) const {
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
        double rate = 0;
        try {
            rate = ParseAmount(cells[4]);
        } catch (const ConversionError&) {
            Unexpected(number);
        }
        if (!(rate > 0) || cells[3].size() != 3)
            Unexpected(number);
        result.rates.insert(UpperCaseAscii(cells[3]), rate / amount);
    }
    if (result.rates.isEmpty())
        Unexpected(3);
    return result;
}

QString CnbRateText(double rate) {
    QString text = QString::number(rate, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString CnbDailyRatesUrl(const QDate& date, const QString& baseUrl) {
    const QString base = baseUrl.isEmpty() ? QString::fromLatin1(kCnbDailyRatesUrl) : baseUrl;
    return base + QStringLiteral("?date=") + date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace tarvela
