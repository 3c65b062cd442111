// ParseHalereLenient: reads a stored total by keeping only "+", ",", "-" and the digits; never
// fails with anything but ConversionError quoting the kept characters, and agrees with the exact
// reading of what it kept, rounded to haléře with halves away from zero.

#include "fuzz_support.h"

#include "money/decimal.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"

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
    // The kept characters read exactly, when they have at most six decimals (no exponent is
    // kept); the largest value that still rounds to the largest stored total.
    Decimal exact;
    const DecimalError reading =
        ReadDecimal(kept, exact, Decimal::FromMillionths(kLargestStoredHalere * 10000 + 4999));

    qint64 value = 0;
    try {
        value = ParseHalereLenient(text);
    } catch (const ConversionError& e) {
        TARVELA_FUZZ_CHECK(!text.isEmpty() && text != QLatin1String("0"),
                           "\"\" and \"0\" read as zero");
        const bool tooLarge = e.message() == QStringLiteral("„%1“ je větší, než pole pojme; "
                                                            "největší hodnota je 999999999999,99.")
                                                 .arg(kept);
        TARVELA_FUZZ_CHECK(tooLarge || e.message() == QStringLiteral("„%1“ není číslo.").arg(kept),
                           "the refusal quotes the kept characters", e.message());
        TARVELA_FUZZ_CHECK(tooLarge ? reading != DecimalError::None &&
                                          reading != DecimalError::NotANumber
                                    : reading == DecimalError::NotANumber,
                           "refused although the kept characters read", Quote(text));
        return 0;
    }
    if (text.isEmpty() || text == QLatin1String("0")) {
        TARVELA_FUZZ_CHECK(value == 0, "\"\" and \"0\" read as zero");
        return 0;
    }
    TARVELA_FUZZ_CHECK(value >= -kLargestStoredHalere && value <= kLargestStoredHalere,
                       "the value is within the largest stored total", Quote(text));
    TARVELA_FUZZ_CHECK(reading == DecimalError::TooManyDecimals ||
                           (reading == DecimalError::None &&
                            value == DivideRounded(exact.millionths(), Decimal::kScale / 100)),
                       "the value is the exact reading of the kept characters, rounded",
                       Quote(text));
    // The shown value reads back; spaces, letters and currency codes around it never change it.
    TARVELA_FUZZ_CHECK(ParseHalereLenient(FormatHalere(value)) == value,
                       "the shown total reads back", FormatHalere(value));
    TARVELA_FUZZ_CHECK(ParseHalereLenient(QStringLiteral(" ") + text + QStringLiteral(" Kč")) ==
                           value,
                       "text around the number is ignored", Quote(text));
    return 0;
}
