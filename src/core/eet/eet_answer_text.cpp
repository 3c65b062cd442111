// The texts of the service's error and warning codes, and the bundled chain of the answers'
// signer: no XML or signature library.
#include "eet/eet_answer.h"

#include "eet/eet_resources.h"

namespace tarvela::eet {

QString ErrorCodeMessage(int code) {
    switch (code) {
    case 0:
        return QStringLiteral("Ověření proběhlo v pořádku: zpráva je správná, nic se "
                              "neevidovalo.");
    case -1:
        return QStringLiteral("Služba EET má dočasnou technickou chybu. Tržba zůstává "
                              "k odeslání a odešle se znovu.");
    case 2:
        return QStringLiteral("Služba EET odmítla zprávu: chybné kódování XML (kód 2). Jde "
                              "o chybu programu; tržba zůstává k odeslání.");
    case 3:
        return QStringLiteral("Služba EET odmítla zprávu: neodpovídá schématu (kód 3). "
                              "Zkontrolujte údaje EET v nastavení (evidenční jednotka, "
                              "pokladna).");
    case 4:
        return QStringLiteral("Služba EET odmítla podpis zprávy (kód 4). Zkontrolujte "
                              "certifikát pro EET v nastavení: platnost, zda není zneplatněný, "
                              "a zda patří k prostředí (ostré / playground).");
    case 6:
        return QStringLiteral("Služba EET odmítla DIČ poplatníka (kód 6). Zkontrolujte, že "
                              "certifikát patří poplatníkovi, za kterého evidujete.");
    case 7:
        return QStringLiteral("Služba EET odmítla zprávu jako příliš velkou (kód 7). Jde "
                              "o chybu programu; tržba zůstává k odeslání.");
    case 8:
        return QStringLiteral("Služba EET zprávu nezpracovala kvůli chybě dat nebo technické "
                              "chybě (kód 8). Zkontrolujte údaje EET; trvá-li chyba, obraťte se "
                              "na Finanční správu.");
    default:
        return QStringLiteral("Služba EET odmítla zprávu s neznámým kódem %1.").arg(code);
    }
}

QString WarningMessage(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("DIČ ve zprávě se liší od DIČ v certifikátu.");
    case 2:
        return QStringLiteral("DIČ pověřujícího poplatníka má chybný tvar.");
    case 4:
        return QStringLiteral("Datum tržby je pozdější než čas přijetí – zkontrolujte hodiny "
                              "počítače.");
    case 5:
        return QStringLiteral("Datum tržby je příliš daleko v minulosti.");
    case 6:
        return QStringLiteral("Evidenční jednotka nemá tvar čísla z daňového portálu.");
    case 7:
        return QStringLiteral("DIČ pověřujícího je shodné s DIČ poplatníka.");
    default:
        return QStringLiteral("Varování služby EET s kódem %1.").arg(code);
    }
}

} // namespace tarvela::eet

namespace tarvela::eet {
QByteArray BundledSigningChain() {
    return QByteArray(detail::kSigningChainPem);
}
} // namespace tarvela::eet
