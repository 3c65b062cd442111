// ParseAmount against an independent reading of the same text with strtod, and the round trip
// through FormatAmount.

#include "fuzz_support.h"

#include "text/amount_text.h"
#include "text/errors.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

// The number the text stands for by the documented grammar: spaces (code 32) around it, an
// optional sign, digits with at most one comma (at least a digit or the comma), an optional
// exponent of E or e, an optional sign and digits. Nothing when the text does not follow it.
// The value is strtod's reading of the same number in the C locale; infinity when too large.
std::optional<double> Expected(const QString& raw) {
    QString text = raw;
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    std::string ascii;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ascii.push_back(static_cast<char>(text[i++].unicode()));
    bool digit = false;
    bool comma = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digit = true;
            ascii.push_back(static_cast<char>(c));
        } else if (c == u',' && !comma) {
            comma = true;
            ascii.push_back('.');
        } else {
            break;
        }
    }
    if (!digit && !comma)
        return std::nullopt;
    if (!digit)
        ascii.push_back('0'); // "," alone is zero
    if (i < n) {
        if (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E'))
            return std::nullopt;
        ascii.push_back('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ascii.push_back(static_cast<char>(text[i++].unicode()));
        bool exponentDigit = false;
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            exponentDigit = true;
            ascii.push_back(static_cast<char>(text[i].unicode()));
        }
        if (!exponentDigit || i != n)
            return std::nullopt;
    }
    if (ascii == "." || ascii == "+." || ascii == "-.")
        ascii.insert(ascii.size() - 1, "0");
    return std::strtod(ascii.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString text = RemainingText(in);
    const std::optional<double> expected = Expected(text);

    double value = 0;
    try {
        value = ParseAmount(text);
    } catch (const ConversionError& e) {
        TARVELA_FUZZ_CHECK(!expected || !std::isfinite(*expected),
                           "a well-formed number was refused", Quote(text));
        TARVELA_FUZZ_CHECK(e.message() == QStringLiteral("„%1“ není číslo.").arg(text),
                           "the refusal quotes the text", e.message());
        return 0;
    }
    TARVELA_FUZZ_CHECK(expected.has_value(), "a text outside the number grammar was read",
                       Quote(text));
    TARVELA_FUZZ_CHECK(std::isfinite(value), "the value is finite", Quote(text));
    TARVELA_FUZZ_CHECK(value == *expected, "the value is the correctly rounded number",
                       Quote(text) + QStringLiteral(" -> %1, expected %2")
                                         .arg(value, 0, 'g', 17)
                                         .arg(*expected, 0, 'g', 17));
    TARVELA_FUZZ_CHECK(!(value == 0 && std::signbit(value)), "never a negative zero", Quote(text));

    // The formatted amount reads back within half a hundredth, and below a trillion (where a
    // double still holds every hundredth) formatting is stable under that round trip.
    const QString formatted = FormatAmount(value);
    const double again = ParseAmount(formatted);
    if (std::fabs(value) < 1e12)
        TARVELA_FUZZ_CHECK(FormatAmount(again) == formatted,
                           "FormatAmount is stable after reading it back", formatted);
    TARVELA_FUZZ_CHECK(std::fabs(again - value) <= 0.005 * (1 + 1e-12) + std::fabs(value) * 1e-15,
                       "FormatAmount rounds to hundredths",
                       Quote(text) + QStringLiteral(" -> ") + formatted);
    return 0;
}
