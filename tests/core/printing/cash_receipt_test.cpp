#include "printing/cash_receipt.h"
#include "support/printing_fixtures.h"

#include <gtest/gtest.h>

namespace tarvela::test {
namespace {

QString Golden(const char* castka, const char* words, const char* payer) {
    return QStringLiteral("DodavJmeno|Jan Dvořák|DodavNazev|Truhlářství Dvořák s.r.o."
                          "|DodavUlice|Lipová 12|DodavMesto|602 00 Brno"
                          "|DodavEmail|dvorak@example.cz|DodavTel|Tel: +420 777 123 456"
                          "|DodavIC|IČ: 12345678|DodavDIC|DIČ: CZ12345678"
                          "|CisloDokladu|2026007|Datum|6.3.2026|Mena|CZK|Prijem|%3|Castka|%1"
                          "|CastkaSlovy|%2|UcelPlatby|Úhrada faktury 2026007|Symbol|2026007"
                          "|Pokladnik|Jana Dvořáková|JmenoPlatce|%3"
                          "|DodavICO|12345678|DodavDICO|CZ12345678|OdberatelIC|87654321"
                          "|OdberatelDIC|CZ87654321|DatumPlneni|5.3.2026|PlatceDPH|1|")
        .arg(QString::fromUtf8(castka), QString::fromUtf8(words), QString::fromUtf8(payer));
}

TEST(CashReceiptVariables, GoldenTextsForThreeTotals) {
    const struct {
        const char* caption;
        const char* words;
    } cases[] = {{"250,90", "=dvěstěpadesátjedna korun="},
                 {"", "=nula korun="},
                 {"10000000,00", "=10000000 korun="}};
    for (const auto& c : cases) {
        const InvoiceSnapshot invoice = WithTotal(SampleInvoice(), c.caption);
        // The spec's 18 pairs, then the simplified tax document's pairs; the rules' pairs after
        // them are checked with the invoice documents.
        const QString text = CashReceiptVariables(invoice, PayerSettings()).text();
        EXPECT_EQ(S(text.left(text.indexOf(QStringLiteral("DanovyDoklad|")))),
                  S(Golden(*c.caption ? c.caption : "0,00", c.words, "Petr Novák")));
    }
}

TEST(CashReceiptVariables, PrefixesStayWithEmptySettingsButAnEmptyDicAndPayerFallsBackToName1) {
    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.OdberatelOdpovedOsoba = QStringLiteral(" ");
    invoice.fields.Mena = QStringLiteral("EUR");
    invoice.fields.Symbol = QStringLiteral("A|B");
    AppSettings settings;
    const QString expected =
        QStringLiteral("DodavJmeno||DodavNazev||DodavUlice||DodavMesto||DodavEmail|"
                       "|DodavTel|Tel: |DodavIC|IČ: |DodavDIC|"
                       "|CisloDokladu|2026007|Datum|6.3.2026|Mena|EUR|Prijem|Pekárna U Mlýna"
                       "|Castka|400,00|CastkaSlovy|=čtyřista EUR=" // a non-payer: no tax
                       "|UcelPlatby|Úhrada faktury 2026007|Symbol|A¦B|Pokladnik|"
                       "|JmenoPlatce|Pekárna U Mlýna|DodavICO||DodavDICO|"
                       "|OdberatelIC|87654321|OdberatelDIC|CZ87654321|DatumPlneni|5.3.2026"
                       "|PlatceDPH|0|");
    const QString text = CashReceiptVariables(invoice, settings).text();
    EXPECT_EQ(S(text.left(text.indexOf(QStringLiteral("DanovyDoklad|")))), S(expected));
    EXPECT_EQ(S(CashReceiptTemplate()), "Ses/PrijmovyDoklad.fr3");
    EXPECT_EQ(S(CashReceiptTitle()), "Příjmový doklad");
}

} // namespace
} // namespace tarvela::test
