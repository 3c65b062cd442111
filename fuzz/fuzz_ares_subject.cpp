// The register's answer on arbitrary bytes: a subject found has its IČ and name; what the
// check lets through holds no control character and no field longer than the fields take; an
// answer not found leaves the subject as it was.

#include "fuzz_support.h"

#include "editor/ares_subject.h"

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString asked = QString::fromLatin1(in.ConsumeBytesAsString(10).c_str());
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray body(rest.data(), qsizetype(rest.size()));
    AresSubject subject;
    subject.Nazev = QStringLiteral("před");
    const AresAnswer answer = ParseAresSubject(body, subject);
    if (answer != AresAnswer::Found) {
        TARVELA_FUZZ_CHECK(subject.Nazev == QStringLiteral("před") && subject.Ico.isEmpty(),
                           "an answer without a subject changes nothing");
        return 0;
    }
    TARVELA_FUZZ_CHECK(!subject.Ico.isEmpty() && !subject.Nazev.isEmpty(),
                       "a subject found has its IČ and name");
    const QString fault = AresSubjectFault(subject, asked);
    if (!fault.isEmpty())
        return 0;
    TARVELA_FUZZ_CHECK(
        subject.Ico.rightJustified(8, QLatin1Char('0')) ==
            QString(asked).remove(QLatin1Char(' ')).rightJustified(8, QLatin1Char('0')),
        "a subject taken is the one asked for", Quote(subject.Ico));
    for (const QString* text : {&subject.Ico, &subject.Nazev, &subject.UliceCislo, &subject.PSC,
                                &subject.Mesto, &subject.DIC}) {
        TARVELA_FUZZ_CHECK(text->size() <= kMaxAresNameLength, "no field too long");
        for (const QChar c : *text)
            TARVELA_FUZZ_CHECK(c.unicode() >= 32 && c.unicode() != 127,
                               "no control character taken", Quote(*text));
    }
    return 0;
}
