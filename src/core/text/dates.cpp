#include "text/dates.h"

#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

namespace tarvela {

QDate ZeroDate() {
    return QDate(1899, 12, 30);
}

QString FormatInvoiceDate(const QDate& date) {
    const QDate d = date.isValid() ? date : ZeroDate();
    return QStringLiteral("%1.%2.%3")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year(), 4, 10, QLatin1Char('0'));
}

QDate ParseInvoiceDate(const QString& text) {
    if (text.size() < 8)
        return ZeroDate();
    const QStringList parts = SplitCells(ReplaceChar(text, QLatin1Char('.'), QLatin1Char('|')));
    if (parts.size() != 3)
        return ZeroDate();
    const qint32 day = ParseWhole(parts[0]);
    const qint32 month = ParseWhole(parts[1]);
    const qint32 year = ParseWhole(parts[2]);
    // Years 1 to 9999 only: the date system has no year 0 and no years before Christ.
    const QDate date = year >= 1 && year <= 9999 ? QDate(year, month, day) : QDate();
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

} // namespace tarvela
