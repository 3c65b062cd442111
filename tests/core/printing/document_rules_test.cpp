#include "editor/row_amounts.h"
#include "money/invoice_figures.h"
#include "printing/document_rules.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "printing/vat_recap.h"
#include "support/printing_fixtures.h"
#include "support/spayd_validator.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <map>

namespace tarvela::test {
namespace {

std::map<QString, QString> Variables(const PrintVariables& v) {
    const QStringList parts = v.text().split(QLatin1Char('|'));
    std::map<QString, QString> map;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        map[parts[i]] = parts[i + 1];
    return map;
}

AppSettings LawRates() {
    AppSettings s = PayerSettings();
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 0;
    return s;
}

InvoiceSnapshot Items(std::initializer_list<InvoiceItemRow> rows) {
    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.Polozky = {};
    std::size_t i = 0;
    for (const InvoiceItemRow& r : rows)
        invoice.fields.Polozky[i++] = r;
    return invoice;
}

struct RecapLine {
    int Rate;
    qint64 Base;
    qint64 Tax;
    bool operator==(const RecapLine&) const = default;
};

TEST(VatRecap, FiguresAreTheRoundedRowsSummedEveryRateOnceWithItsBase) {
    const struct {
        const char* name;
        AppSettings settings;
        InvoiceSnapshot invoice;
        std::vector<RecapLine> lines;
    } cases[] = {
        // The rounded rows summed: 25 x 18,76 = 469,00 (the unrounded bases would say 468,94).
        {"25 rows of 1,5 x 12,505",
         LawRates(),
         [] {
             InvoiceSnapshot inv = Items({});
             for (auto& r : inv.fields.Polozky)
                 r = Row("", "Šroub", "ks", "1,5", "12,505", "21");
             return inv;
         }(),
         {{21, 46900, 9850}}},
        {"a row at 0 %",
         LawRates(),
         Items({Row("", "A", "ks", "1", "34550,00", "21"), Row("", "B", "ks", "1", "3625,00", "12"),
                Row("", "C", "ks", "1", "698,00", "0")}),
         {{21, 3455000, 725550}, {12, 362500, 43500}, {0, 69800, 0}}},
        {"equal rates print once",
         [] {
             AppSettings s = PayerSettings();
             s.SazbaDPH2 = 21;
             return s;
         }(),
         Items({Row("", "A", "ks", "1", "100,00", "21"), Row("", "B", "ks", "2", "50,00", "10")}),
         {{21, 10000, 2100}, {10, 10000, 1000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const InvoiceSnapshot invoice = c.invoice;
        const InvoiceFigures figures = ComputeInvoiceFigures(invoice.fields, c.settings);
        std::vector<RecapLine> lines;
        for (const RateFigures& r : figures.Rates)
            lines.push_back({r.Percent, r.Base, r.Tax});
        EXPECT_EQ(lines, c.lines);
        // Invariants: the bases add up to "Celkem bez DPH", the taxes to the tax total.
        qint64 base = 0, tax = 0;
        for (const RecapLine& l : lines) {
            base += l.Base;
            tax += l.Tax;
        }
        const auto v =
            Variables(InvoiceDocumentVariables(DocumentKind::Faktura, invoice, c.settings));
        EXPECT_EQ(v.at("CelkemBezDPH"), FormatHalere(base));
        EXPECT_EQ(v.at("CelkemDPH"), FormatHalere(tax));
        EXPECT_EQ(v.at("RekapZaklad1"), FormatHalere(c.lines[0].Base));
    }
}

TEST(VatRates, OnlyZeroAndTheSettingsRatesAreAllowed) {
    const AppSettings s = LawRates();
    for (const char* ok : {"0", "21", "12", " 21 "})
        EXPECT_TRUE(IsAllowedVatRate(s, QString::fromUtf8(ok))) << ok;
    for (const char* bad : {"20", "15", "", "21%", "abc", "-21"})
        EXPECT_FALSE(IsAllowedVatRate(s, QString::fromUtf8(bad))) << bad;
    EXPECT_EQ(S(VatRateRefusalMessage(s, QStringLiteral("20"))),
              "Sazba DPH „20“ není v nastavení. Povolené sazby: 21 %, 12 % nebo 0 %.");
    EXPECT_THROW(CheckVatRate(s, QStringLiteral("20")), ValidationError);
    AppSettings nonPayer = s;
    nonPayer.Platce = false;
    EXPECT_NO_THROW(CheckVatRate(nonPayer, QStringLiteral("20")));
    // A non-payer is told that a rate charges nothing; a payer, "0" and an empty cell are not.
    EXPECT_EQ(S(NonPayerRateNotice(nonPayer, QStringLiteral(" 21 "))),
              "Dodavatel není plátcem DPH: sazba „21“ se nepočítá, řádek je bez daně.");
    for (const char* quiet : {"", "0", " "})
        EXPECT_TRUE(NonPayerRateNotice(nonPayer, QString::fromUtf8(quiet)).isEmpty()) << quiet;
    EXPECT_TRUE(NonPayerRateNotice(s, QStringLiteral("21")).isEmpty());

    // A tax document names the rows and stops; a pro-forma does not carry tax and prints.
    const InvoiceSnapshot invoice =
        Items({Row("", "A", "ks", "1", "10", "21"), Row("", "B", "ks", "1", "10", "20"),
               Row("", "jen text", "", "", "", ""), Row("", "C", "ks", "1", "10", "")});
    EXPECT_EQ(RowsWithDisallowedVatRate(invoice, s), (QList<int>{2, 4}));
    try {
        CheckDocumentPrintable(DocumentKind::Faktura, invoice, s);
        ADD_FAILURE() << "printed";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("řádky 2, 4 mají sazbu DPH")));
    }
    EXPECT_NO_THROW(CheckDocumentPrintable(DocumentKind::ProformaFaktura, invoice, s));
}

TEST(DocumentRules, WhatEachKindSays) {
    const AppSettings payer = LawRates();
    InvoiceSnapshot invoice =
        Items({Row("", "A", "ks", "1", "100,00", "21"), Row("", "B", "ks", "1", "-200,00", "21")});
    invoice.fields.OpravovanyDoklad = QStringLiteral("2026001");
    invoice.fields.DuvodOpravy = QStringLiteral("Vrácené zboží");
    invoice.fields.DatumUhrady = QStringLiteral("9.3.2026");
    const struct {
        DocumentKind kind;
        const char* podtitul;
        const char* popiskaDatum;
        const char* datum;
        const char* popiskaCelkem;
        bool qr;
    } cases[] = {
        {DocumentKind::Faktura, "", "Datum zdanitelného plnění:", "5.3.2026", "K vrácení", false},
        {DocumentKind::ProformaFaktura, "Nejedná se o daňový doklad", "", "", "K vrácení", false},
        {DocumentKind::DanovyDoklad, "Daňový doklad k přijaté platbě",
         "Datum přijetí úplaty:", "9.3.2026", "Přijatá úplata", false},
        {DocumentKind::Dobropis, "Opravný daňový doklad", "Datum zdanitelného plnění:", "5.3.2026",
         "K vrácení", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const auto v = Variables(InvoiceDocumentVariables(c.kind, invoice, payer));
        EXPECT_EQ(S(v.at("Podtitul")), c.podtitul);
        EXPECT_EQ(S(v.at("PopiskaDatumPlneni")), c.popiskaDatum);
        EXPECT_EQ(S(v.at("DatumPlneni")), c.datum);
        if (c.kind != DocumentKind::DanovyDoklad && c.kind != DocumentKind::ProformaFaktura) {
            EXPECT_EQ(S(v.at("PopiskaCelkem")), c.popiskaCelkem);
        }
        EXPECT_EQ(S(v.at("CastkaKUhrade")), "121,00"); // -121,00 as a positive figure
        EXPECT_EQ(!v.at("QRCode").isEmpty(), c.qr);
        EXPECT_EQ(!v.at("OpravovanyDoklad").isEmpty(), c.kind == DocumentKind::Dobropis);
        EXPECT_EQ(S(v.at("PopiskaSymbol")), "Variabilní symbol:");
        EXPECT_EQ(S(v.at("PopiskaCena")), "Cena MJ bez DPH");
    }
    AppSettings constant = payer;
    constant.TypSymbolu = SymbolType::Constant;
    EXPECT_EQ(S(Variables(InvoiceDocumentVariables(DocumentKind::Faktura, invoice, constant))
                    .at("PopiskaSymbol")),
              "Konstantní symbol:");
    EXPECT_EQ(S(PaymentFormWords(QStringLiteral("PP"))), "Převodním příkazem");
    EXPECT_EQ(S(PaymentFormWords(QStringLiteral("h"))), "Hotově");
    EXPECT_EQ(S(PaymentFormWords(QStringLiteral("složenkou"))), "složenkou");
    EXPECT_EQ(S(DocumentFileName(DocumentKind::Faktura, QStringLiteral("2026001"))),
              "Faktura 2026001");
    EXPECT_EQ(S(DocumentFileName(DocumentKind::Dobropis, QStringLiteral("FA/12"))),
              "Dobropis FA-12");
}

TEST(DocumentRules, CashRoundsToCrownsOutsideTheBaseAndForeignTaxIsShownInCrowns) {
    AppSettings payer = LawRates();
    payer.PoznamkaOsvobozeni = QStringLiteral("Osvobozeno od daně.");
    InvoiceSnapshot invoice =
        Items({Row("", "A", "ks", "1", "38482,00", "21"), Row("", "B", "ks", "1", "0,28", "0")});
    ASSERT_EQ(ComputeInvoiceFigures(invoice.fields, payer).Total, 4656350);
    const struct {
        const char* form;
        DocumentKind kind;
        const char* due;
        const char* rounding;
        const char* am;
    } cases[] = {
        {"H", DocumentKind::Faktura, "46564,00", "0,50", "AM:46564.00"},
        {"PP", DocumentKind::Faktura, "46563,50", "", "AM:46563.50"},
        {"PP", DocumentKind::PrijmovyDokladSRozpisem, "46564,00", "0,50", "AM:46564.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        invoice.fields.FormaUhrady = QString::fromUtf8(c.form);
        const auto v = Variables(InvoiceDocumentVariables(c.kind, invoice, payer));
        EXPECT_EQ(S(v.at("CastkaKUhrade")), c.due);
        EXPECT_EQ(S(v.at("Zaokrouhleni")), c.rounding);
        EXPECT_NE(v.at("QRCode").indexOf(QString::fromUtf8(c.am)), -1);
        // The rounding stays outside the tax base.
        EXPECT_EQ(S(v.at("CelkemBezDPH")), "38482,28");
        EXPECT_EQ(S(v.at("PoznamkaOsvobozeni")), "Osvobozeno od daně.");
    }
    EXPECT_EQ(
        S(Variables(InvoiceDocumentVariables(DocumentKind::PrijmovyDokladSRozpisem, invoice, payer))
              .at("CastkaSlovy")),
        "=čtyřicetšesttisícpětsetšedesátčtyři korun=");

    // Another currency: never rounded, the tax per rate in crowns at the typed rate.
    invoice.fields.FormaUhrady = QStringLiteral("H");
    invoice.fields.Mena = QStringLiteral("EUR");
    EXPECT_THROW(CheckDocumentPrintable(DocumentKind::Faktura, invoice, payer), ValidationError);
    invoice.fields.Kurz = QStringLiteral("25,125");
    invoice.fields.DatumKurzu = QStringLiteral("4.3.2026");
    EXPECT_NO_THROW(CheckDocumentPrintable(DocumentKind::Faktura, invoice, payer));
    const auto v = Variables(InvoiceDocumentVariables(DocumentKind::Faktura, invoice, payer));
    EXPECT_EQ(S(v.at("Zaokrouhleni")), "");
    EXPECT_EQ(S(v.at("RekapDPH1")), "8081,22");
    EXPECT_EQ(S(v.at("RekapDPHCZK1")), "203040,65");
    EXPECT_EQ(S(v.at("CelkemDPHCZK")), "203040,65");
    EXPECT_EQ(S(v.at("Kurz")), "25,125");
    EXPECT_EQ(S(v.at("CiziMena")), "1");
}

TEST(QrPayment, HostileInputsGiveAValidCodeOrNoneWithAReason) {
    const struct {
        const char* name;
        QrPaymentData data;
        bool code;
        bool reason;
    } cases[] = {
        {"plain",
         {"CZ65 0800 0000 1920 0014 5399", "1234,50", "CZK", SymbolType::Variable, "2026042",
          "Záloha"},
         true,
         false},
        {"symbol with letters",
         {"CZ6508000000192000145399", "10,00", "", SymbolType::Variable, "FA-2026/042", ""},
         true,
         true},
        {"12 digits",
         {"CZ6508000000192000145399", "10,00", "", SymbolType::Variable, "123456789012", ""},
         true,
         true},
        {"constant symbol too long",
         {"CZ6508000000192000145399", "10,00", "", SymbolType::Constant, "03081", ""},
         true,
         true},
        {"Kč",
         {"CZ6508000000192000145399", "10,00", "Kč", SymbolType::Variable, "1", ""},
         true,
         false},
        {"eur",
         {"CZ6508000000192000145399", "10,00", "eur", SymbolType::Variable, "1", ""},
         true,
         false},
        {"currency in words",
         {"CZ6508000000192000145399", "10,00", "korun", SymbolType::Variable, "1", ""},
         false,
         true},
        {"11-character amount",
         {"CZ6508000000192000145399", "12345678,90", "", SymbolType::Variable, "1", ""},
         false,
         true},
        {"invalid IBAN",
         {"CZ65 0800 0000 1920 0014 5398", "10,00", "", SymbolType::Variable, "1", ""},
         false,
         true},
        {"zero total",
         {"CZ6508000000192000145399", "0,00", "", SymbolType::Variable, "1", ""},
         false,
         true},
        {"negative total",
         {"CZ6508000000192000145399", "-5,00", "", SymbolType::Variable, "1", ""},
         false,
         true},
        {"asterisk and a long message",
         {"CZ6508000000192000145399", "1,00", "", SymbolType::Variable, "1",
          "*****************************************************"
          "*******"},
         true,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QrPayment qr = MakeQrPayment(c.data);
        EXPECT_EQ(!qr.Text.isEmpty(), c.code) << S(qr.Text);
        EXPECT_EQ(!qr.Reason.isEmpty(), c.reason) << S(qr.Reason);
        if (!qr.Text.isEmpty()) {
            EXPECT_EQ(S(SpaydProblem(qr.Text)), "") << S(qr.Text);
        }
        EXPECT_FALSE(qr.Reason.contains(QLatin1Char('\n')));
    }
    EXPECT_NE(MakeQrPayment(cases[4].data).Text.indexOf(QStringLiteral("*CC:CZK")), -1);
    EXPECT_NE(MakeQrPayment(cases[5].data).Text.indexOf(QStringLiteral("*CC:EUR")), -1);
}

} // namespace
} // namespace tarvela::test
