// The bank's daily file on arbitrary bytes: either refused with a Czech message or read into a
// date and rates that are all positive, found again by their codes in any case, and written as
// the exchange-rate field takes them.

#include "fuzz_support.h"

#include "net/cnb_rates.h"
#include "text/errors.h"

#include <algorithm>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CnbDailyRates rates;
    try {
        rates = ParseCnbDailyRates(bytes);
    } catch (const TarvelaError& e) {
        TARVELA_FUZZ_CHECK(!e.message().isEmpty(), "a refusal says why");
        return 0;
    }
    TARVELA_FUZZ_CHECK(rates.date.isValid(), "rates read have their date");
    for (auto it = rates.rates.cbegin(); it != rates.rates.cend(); ++it) {
        TARVELA_FUZZ_CHECK(it.value() > Decimal(), "every rate is a positive number",
                           Quote(it.key()));
        const QString& code = it.key();
        const bool letters = std::all_of(code.cbegin(), code.cend(), [](QChar c) {
            return (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
        });
        const std::optional<Decimal> found = rates.rate(code.toLower());
        TARVELA_FUZZ_CHECK(!letters || (found && *found == it.value()),
                           "a rate is found by its code (letters in any case)", Quote(it.key()));
        const QString text = CnbRateText(it.value());
        Decimal back;
        TARVELA_FUZZ_CHECK(
            !text.contains(QLatin1Char('.')) &&
                ReadDecimal(text, back, Decimal::FromWhole(1000000000)) == DecimalError::None &&
                back == it.value(),
            "a rate as text has a decimal comma and reads back exactly", Quote(text));
    }
    return 0;
}
