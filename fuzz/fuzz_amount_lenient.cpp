// ParseAmountLenient: reads a stored total by keeping only "+", ",", "-" and the digits; never
// fails with anything but ConversionError quoting the kept characters, and agrees with
// ParseAmount on what it kept.

#include "fuzz_support.h"

#include "text/amount_text.h"
#include "text/errors.h"

#include <cmath>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString text = RemainingText(in);

    QString kept;
    for (QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
            c == QLatin1Char(',') || c == QLatin1Char('-'))
            kept.append(c);
    }

    double value = 0;
    try {
        value = ParseAmountLenient(text);
    } catch (const ConversionError& e) {
        TARVELA_FUZZ_CHECK(!text.isEmpty() && text != QLatin1String("0"),
                           "\"\" and \"0\" read as zero");
        TARVELA_FUZZ_CHECK(e.message() == QStringLiteral("„%1“ není číslo.").arg(kept),
                           "the refusal quotes the kept characters", e.message());
        bool strictRefuses = false;
        try {
            ParseAmount(kept);
        } catch (const ConversionError&) {
            strictRefuses = true;
        }
        TARVELA_FUZZ_CHECK(strictRefuses, "refused although the kept characters read", Quote(text));
        return 0;
    }
    TARVELA_FUZZ_CHECK(std::isfinite(value), "the value is finite", Quote(text));
    if (text.isEmpty() || text == QLatin1String("0")) {
        TARVELA_FUZZ_CHECK(value == 0, "\"\" and \"0\" read as zero");
        return 0;
    }
    TARVELA_FUZZ_CHECK(value == ParseAmount(kept),
                       "the value is the strict reading of the kept characters", Quote(text));
    // Spaces, letters and currency codes around a total never change it.
    TARVELA_FUZZ_CHECK(ParseAmountLenient(QStringLiteral(" ") + text + QStringLiteral(" Kč")) ==
                           value,
                       "text around the number is ignored", Quote(text));
    return 0;
}
