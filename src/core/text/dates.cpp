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
        throw ConversionError(QStringLiteral("„%1“ není platné datum.").arg(text));
    return date;
}

QDate ParseTypedDate(const QString& field, const QString& text) {
    const QString trimmed = text.trimmed();
    const QStringList parts = trimmed.split(QLatin1Char('.'));
    auto number = [](const QString& part, int maxDigits) {
        if (part.isEmpty() || part.size() > maxDigits || !IsDigitsOnly(part))
            return -1;
        return part.toInt();
    };
    QDate date;
    if (parts.size() == 3 && parts[2].size() == 4) {
        const int day = number(parts[0], 2);
        const int month = number(parts[1], 2);
        const int year = number(parts[2], 4);
        if (day > 0 && month > 0 && year > 0)
            date = QDate(year, month, day);
    }
    if (!date.isValid()) {
        throw ConversionError(WithFieldName(
            field,
            QStringLiteral("„%1“ není platné datum; zadejte den.měsíc.rok, například 5.3.2026.")
                .arg(trimmed)));
    }
    return date;
}

} // namespace tarvela
