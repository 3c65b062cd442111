// ParseWholeLenient: keeps "+", "-" and the digits; a signed 32-bit number or 0, never a failure.
// Checked against a reading of the kept characters with 64-bit arithmetic.

#include "fuzz_support.h"

#include "text/amount_text.h"

#include <cstdint>
#include <limits>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

qint32 Expected(const QString& text) {
    QString kept;
    for (QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
            c == QLatin1Char('-'))
            kept.append(c);
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < kept.size() && (kept[i] == QLatin1Char('+') || kept[i] == QLatin1Char('-')))
        negative = kept[i++] == QLatin1Char('-');
    if (i == kept.size())
        return 0;
    // Leading zeros do not count towards the size.
    while (i + 1 < kept.size() && kept[i] == QLatin1Char('0'))
        ++i;
    if (kept.size() - i > 10)
        return 0;
    std::int64_t magnitude = 0;
    for (; i < kept.size(); ++i) {
        if (kept[i] < QLatin1Char('0') || kept[i] > QLatin1Char('9'))
            return 0; // a sign in the middle
        magnitude = magnitude * 10 + (kept[i].unicode() - u'0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<qint32>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const qint32 number = in.ConsumeIntegral<qint32>();
    const QString text = RemainingText(in);
    const qint32 value = ParseWholeLenient(text); // must never throw
    TARVELA_FUZZ_CHECK(value == Expected(text), "the value is the kept characters' number, or 0",
                       Quote(text) +
                           QStringLiteral(" -> %1, expected %2").arg(value).arg(Expected(text)));
    // A whole number written out reads back.
    TARVELA_FUZZ_CHECK(ParseWholeLenient(QString::number(number)) == number,
                       "a written number reads back", QString::number(number));
    return 0;
}
