// ParseInvoiceDate: the zero date for a short text or one without exactly three parts, a date
// for three whole numbers that form one, ConversionError otherwise; and every date written
// with FormatInvoiceDate reads back to itself.

#include "fuzz_support.h"

#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    // A date of years 1 to 9999, written and read back.
    const qint64 first = QDate(1, 1, 1).toJulianDay();
    const qint64 last = QDate(9999, 12, 31).toJulianDay();
    const QDate date = QDate::fromJulianDay(in.ConsumeIntegralInRange<qint64>(first, last));
    const QString written = FormatInvoiceDate(date);
    TARVELA_FUZZ_CHECK(ParseInvoiceDate(written) == date, "a written date reads back", written);
    TARVELA_FUZZ_CHECK(!written.startsWith(QLatin1Char('0')) && written.size() >= 8 &&
                           written.size() <= 10,
                       "d.m.yyyy without leading zeros", written);

    const QString text = RemainingText(in);
    // Full stops separate the parts; the reader cuts at "|" too (it turns the stops into "|").
    const QStringList parts =
        QString(text).replace(QLatin1Char('.'), QLatin1Char('|')).split(QLatin1Char('|'));
    QDate read;
    try {
        read = ParseInvoiceDate(text);
    } catch (const ConversionError& e) {
        TARVELA_FUZZ_CHECK(text.size() >= 8 && parts.size() == 3,
                           "a text without three parts was refused", Quote(text));
        const bool notWhole = e.message().endsWith(QStringLiteral("“ není celé číslo."));
        const bool notDate = e.message() == QStringLiteral("„%1“ není platné datum.").arg(text);
        TARVELA_FUZZ_CHECK(notWhole || notDate, "the refusal is a conversion message", e.message());
        if (notDate) {
            const QDate d(ParseWhole(parts[2]), ParseWhole(parts[1]), ParseWhole(parts[0]));
            TARVELA_FUZZ_CHECK(!d.isValid() || d.year() < 1 || d.year() > 9999,
                               "three numbers that form a date were refused", Quote(text));
        }
        return 0;
    }
    if (text.size() < 8 || parts.size() != 3) {
        TARVELA_FUZZ_CHECK(read == ZeroDate(),
                           "a short text or a wrong part count reads as the zero date",
                           Quote(text));
        return 0;
    }
    TARVELA_FUZZ_CHECK(read.isValid() && read.year() >= 1 && read.year() <= 9999,
                       "a date of years 1 to 9999", Quote(text));
    TARVELA_FUZZ_CHECK(read.day() == ParseWhole(parts[0]) && read.month() == ParseWhole(parts[1]) &&
                           read.year() == ParseWhole(parts[2]),
                       "the date is the three numbers", Quote(text));
    TARVELA_FUZZ_CHECK(ParseInvoiceDate(FormatInvoiceDate(read)) == read, "the date reads back",
                       Quote(text));
    return 0;
}
