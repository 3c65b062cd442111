// The EET service's answer on arbitrary bytes, read as the playground's and as the production
// service's: never a crash or an exception; a confirmation only for the message asked about,
// with a POK of the service's shape, never a test answer in production; every answer that is no
// plain confirmation says in Czech what happened.

#include "fuzz_support.h"

#include "eet/eet_answer.h"

#include <QRegularExpression>
#include <QTimeZone>

using namespace tarvela;
using namespace tarvela::eet;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString uuid = QStringLiteral("b3a09b52-7c87-4014-a496-7fe261250984");
    // The seed confirmation was received then, within its signer's validity.
    static const QDateTime received(QDate(2026, 9, 26), QTime(20, 10, 18),
                                    QTimeZone("Europe/Prague"));
    static const QRegularExpression pokShape(QStringLiteral(
        "^[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-4[0-9a-fA-F]{3}-[89abAB][0-9a-fA-F]{3}-[0-9a-fA-F]{12}-"
        "[0-9a-fA-F]{2}$"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool production : {false, true}) {
        AnswerTrust trust;
        trust.chainPem = BundledSigningChain();
        trust.production = production;
        const Answer answer = ReadAnswer(bytes, uuid, trust, received);
        if (answer.outcome == Outcome::Confirmed) {
            TARVELA_FUZZ_CHECK(answer.uuid == uuid, "a confirmation is for the message sent",
                               Quote(answer.uuid));
            TARVELA_FUZZ_CHECK(pokShape.match(answer.pok).hasMatch(),
                               "a confirmation has a POK of the service's shape",
                               Quote(answer.pok));
            TARVELA_FUZZ_CHECK(!production || !answer.test, "production never takes a test answer");
        } else {
            TARVELA_FUZZ_CHECK(answer.pok.isEmpty(), "only a confirmation has a POK");
            TARVELA_FUZZ_CHECK(!answer.message.isEmpty(), "an answer not confirmed says why");
        }
    }
    return 0;
}
