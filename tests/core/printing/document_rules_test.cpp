#include "editor/row_amounts.h"
#include "money/invoice_figures.h"
#include "printing/cash_receipt.h"
#include "printing/document_rules.h"
#include "printing/money.h"
#include "printing/qr_payment.h"
#include "printing/vat_recap.h"
#include "support/printing_fixtures.h"
#include "support/spayd_validator.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <functional>
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

// What a document may say for its kind and amount: refused with the reason, or printed with the
// subtitle the law allows (a simplified tax document only up to 10 000 Kč including tax).
TEST(DocumentRules, WhatMayBePrintedByKindAndAmount) {
    const AppSettings payer = LawRates();
    AppSettings nonPayer = NonPayerSettings();
    const struct {
        const char* name;
        DocumentKind kind;
        bool payer;
        const char* price; // one row at 21 % (0 % for a non-payer)
        const char* currency;
        std::function<void(InvoiceRecord&)> edit;
        const char* refused;  // a part of the message, or nullptr when it prints
        const char* podtitul; // checked when it prints
    } cases[] = {
        {"receipt of 10 000,00", DocumentKind::PrijmovyDokladSRozpisem, true, "8264,46", "CZK",
         nullptr, nullptr, "Zjednodušený daňový doklad"},
        {"receipt of 10 000,49 is above the limit before rounding",
         DocumentKind::PrijmovyDokladSRozpisem, true, "8264,87", "CZK", nullptr, nullptr,
         "Daňový doklad"},
        {"receipt above the limit without the customer's street",
         DocumentKind::PrijmovyDokladSRozpisem, true, "38482,00", "CZK",
         [](InvoiceRecord& f) { f.OdberatelUliceCislo = QStringLiteral("  "); },
         "doplňte: ulice odběratele", nullptr},
        {"receipt above the limit without the customer", DocumentKind::PrijmovyDokladSRozpisem,
         true, "38482,00", "CZK",
         [](InvoiceRecord& f) {
             f.OdberatelNazev1.clear();
             f.OdberatelUliceCislo.clear();
             f.OdberatelMesto.clear();
         },
         "název odběratele, ulice odběratele, město odběratele", nullptr},
        {"a refund above the limit counts by its size", DocumentKind::PrijmovyDokladSRozpisem, true,
         "-9000,00", "CZK", nullptr, nullptr, "Daňový doklad"},
        {"400 EUR at 25,00 is 12 100 Kč", DocumentKind::PrijmovyDokladSRozpisem, true, "400,00",
         "EUR", nullptr, nullptr, "Daňový doklad"},
        {"a non-payer's receipt has no limit", DocumentKind::PrijmovyDokladSRozpisem, false,
         "50000,00", "CZK", [](InvoiceRecord& f) { f.OdberatelNazev1.clear(); }, nullptr, ""},
        {"negative pro-forma", DocumentKind::ProformaFaktura, true, "-6371,08", "CZK", nullptr,
         "Proforma faktura nemůže mít zápornou celkovou částku (-7709,01)", nullptr},
        {"negative offer", DocumentKind::CenovaNabidka, false, "-100,00", "CZK", nullptr,
         "Cenová nabídka nemůže mít zápornou", nullptr},
        {"negative invoice is a refund", DocumentKind::Faktura, true, "-100,00", "CZK", nullptr,
         nullptr, ""},
        {"credit note without the corrected document and reason", DocumentKind::Dobropis, true,
         "-100,00", "CZK",
         [](InvoiceRecord& f) {
             f.OpravovanyDoklad = QStringLiteral(" ");
             f.DuvodOpravy.clear();
         },
         "chybí: opravovaný doklad, důvod opravy", nullptr},
        {"credit note without the reason", DocumentKind::Dobropis, false, "-100,00", "CZK",
         [](InvoiceRecord& f) { f.DuvodOpravy.clear(); }, "chybí: důvod opravy", nullptr},
        {"credit note", DocumentKind::Dobropis, true, "-100,00", "CZK", nullptr, nullptr,
         "Opravný daňový doklad"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AppSettings& settings = c.payer ? payer : nonPayer;
        InvoiceSnapshot invoice = Items({Row("", "A", "ks", "1", c.price, c.payer ? "21" : "0")});
        invoice.fields.Mena = QString::fromUtf8(c.currency);
        invoice.fields.FormaUhrady = QStringLiteral("H");
        invoice.fields.Kurz = QStringLiteral("25,00");
        invoice.fields.DatumKurzu = QStringLiteral("4.3.2026");
        invoice.fields.OpravovanyDoklad = QStringLiteral("2026001");
        invoice.fields.DuvodOpravy = QStringLiteral("Vrácené zboží");
        if (c.edit)
            c.edit(invoice.fields);
        if (c.refused) {
            try {
                CheckDocumentPrintable(c.kind, invoice, settings);
                ADD_FAILURE() << "printed";
            } catch (const ValidationError& e) {
                EXPECT_NE(e.message().indexOf(QString::fromUtf8(c.refused)), -1) << S(e.message());
            }
            continue;
        }
        EXPECT_NO_THROW(CheckDocumentPrintable(c.kind, invoice, settings));
        const auto v = Variables(InvoiceDocumentVariables(c.kind, invoice, settings));
        EXPECT_EQ(S(v.at("Podtitul")), c.podtitul);
        // A full tax document names the customer's address; a simplified one need not.
        EXPECT_EQ(v.at("UplnyDanovyDoklad") == QLatin1String("1"),
                  std::string(c.podtitul) == "Daňový doklad");
    }
    EXPECT_TRUE(FitsSimplifiedTaxDocument(kSimplifiedTaxDocumentLimitHalere));
    EXPECT_FALSE(FitsSimplifiedTaxDocument(kSimplifiedTaxDocumentLimitHalere + 1));
    EXPECT_FALSE(FitsSimplifiedTaxDocument(-kSimplifiedTaxDocumentLimitHalere - 1));
}

TEST(DocumentRules, CreditNoteAskingForPaymentIsWarnedOf) {
    for (const char* price : {"100,00", "-100,00", "0,00"}) {
        SCOPED_TRACE(price);
        const AppSettings payer = LawRates();
        const InvoiceSnapshot invoice = Items({Row("", "A", "ks", "1", price, "21")});
        const bool positive = price[0] != '-' && QString::fromUtf8(price) != "0,00";
        const QStringList warnings = DocumentWarnings(
            DocumentKind::Dobropis, DocumentFiguresOf(DocumentKind::Dobropis, invoice, payer));
        EXPECT_EQ(warnings.size(), positive ? 1 : 0);
        if (positive) {
            EXPECT_TRUE(warnings.first().contains("kladnou celkovou částku 121,00"));
        }
        EXPECT_TRUE(DocumentWarnings(DocumentKind::Faktura,
                                     DocumentFiguresOf(DocumentKind::Faktura, invoice, payer))
                        .isEmpty());
    }
}

// The tax document of a received payment states the whole amount as received: a smaller paid
// amount is warned of, a whole or missing one is not.
TEST(DocumentRules, PartPaymentBeforeTheTaxDocumentOfAPaymentIsWarnedOf) {
    const struct {
        const char* paid;
        const char* date;
        bool warned;
    } cases[] = {
        {"500,00", "10.12.2026", true}, {"1209,99", "", true}, {"1210,00", "10.12.2026", false},
        {"", "10.12.2026", false},      {"", "", false},       {"1500,00", "10.12.2026", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.paid) + " " + c.date);
        InvoiceSnapshot invoice = Items({Row("", "A", "hod", "10", "100,00", "21")});
        invoice.fields.UhrazenaCastka = QString::fromUtf8(c.paid);
        invoice.fields.DatumUhrady = QString::fromUtf8(c.date);
        const QStringList warnings =
            DocumentWarnings(DocumentKind::DanovyDoklad,
                             DocumentFiguresOf(DocumentKind::DanovyDoklad, invoice, LawRates()));
        EXPECT_EQ(warnings.size(), c.warned ? 1 : 0);
        if (c.warned) {
            EXPECT_EQ(S(warnings.first()),
                      S(QStringLiteral("Uhrazeno je jen %1 z 1210,00: daňový doklad k přijaté "
                                       "platbě uvede jako přijatou celou částku 1210,00.")
                            .arg(QString::fromUtf8(c.paid))));
        }
        EXPECT_TRUE(DocumentWarnings(DocumentKind::Faktura,
                                     DocumentFiguresOf(DocumentKind::Faktura, invoice, LawRates()))
                        .isEmpty());
    }
}

// A cash receipt of a negative amount pays money out: its title, captions, figures and words
// say so, and no figure it prints is negative.
TEST(DocumentRules, NegativeCashReceiptIsACashPaymentOut) {
    const AppSettings payer = LawRates();
    for (const char* price : {"6371,08", "-6371,08"}) {
        SCOPED_TRACE(price);
        InvoiceSnapshot invoice = Items({Row("", "A", "ks", "1", price, "21")});
        invoice.fields.FormaUhrady = QStringLiteral("H");
        const bool out = price[0] == '-';
        const auto v = Variables(CashReceiptVariables(invoice, payer));
        EXPECT_EQ(S(v.at("NazevDokladu")),
                  out ? "VÝDAJOVÝ POKLADNÍ DOKLAD" : "PŘÍJMOVÝ POKLADNÍ DOKLAD");
        EXPECT_EQ(S(v.at("PopiskaCastka")), out ? "Vyplaceno:" : "Částka:");
        EXPECT_EQ(S(v.at("CastkaKUhrade")), "7709,00");
        EXPECT_EQ(S(v.at("CastkaSlovy")), "=sedmtisícsedmsetdevět korun=");
        EXPECT_EQ(S(v.at("RekapDPH1")), "1337,93");
        EXPECT_EQ(S(v.at("Castka")), "7709,01");
        EXPECT_EQ(S(v.at("Zaokrouhleni")), "-0,01"); // 7709,01 - 0,01 paid in or out
        for (const char* figure :
             {"Castka", "CastkaKUhrade", "CelkemDPH", "RekapZaklad1", "RekapDPH1", "ZakladDPH1"})
            EXPECT_FALSE(v.at(figure).startsWith(QLatin1Char('-'))) << figure;
    }
}

// The two cash documents say whether money is received or paid out, in their titles, their
// signature captions and the PDF names they propose (never the same name for both).
TEST(DocumentRules, CashDocumentsNameReceiptOrPayout) {
    const struct {
        const char* number;
        const char* price;
        const char* cashName;
        const char* itemsName;
    } cases[] = {
        {"2026007", "6371,08", "Pokladní doklad 2026007", "Příjmový doklad 2026007"},
        {"2026007", "-6371,08", "Výdajový doklad 2026007", "Výdajový doklad s rozpisem 2026007"},
        {"", "-0,50", "Výdajový doklad", "Výdajový doklad s rozpisem"},
        {"2026/7", "-1", "Výdajový doklad 2026-7", "Výdajový doklad s rozpisem 2026-7"},
        {"2026007", "0,00", "Pokladní doklad 2026007", "Příjmový doklad 2026007"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " " + c.price);
        InvoiceSnapshot invoice = Items({Row("", "A", "ks", "1", c.price, "21")});
        invoice.fields.FormaUhrady = QStringLiteral("H");
        invoice.fields.Cislo = QString::fromUtf8(c.number);
        const bool out = c.price[0] == '-';
        const auto cash = Variables(CashReceiptVariables(invoice, LawRates()));
        EXPECT_EQ(S(cash.at("NazevSouboru")), c.cashName);
        const auto items = Variables(
            InvoiceDocumentVariables(DocumentKind::PrijmovyDokladSRozpisem, invoice, LawRates()));
        EXPECT_EQ(S(items.at("NazevSouboru")), c.itemsName);
        EXPECT_EQ(S(items.at("Nazev1")), out ? "Výdajový doklad" : "Příjmový doklad");
        EXPECT_EQ(S(items.at("PopiskaCelkem")), out ? "Vráceno" : "Přijato");
        for (const auto& v : {cash, items}) {
            EXPECT_EQ(S(v.at("PopiskaOsoba")), out ? "Vyplaceno komu:" : "Přijato od:");
            EXPECT_EQ(S(v.at("PopiskaPokladnik")),
                      out ? "Vyplatil (pokladník):" : "Přijal (pokladník):");
            EXPECT_EQ(S(v.at("PopiskaPlatce")), out ? "Převzal:" : "Zaplatil:");
        }
        EXPECT_EQ(S(DocumentReportTitle(DocumentKind::PrijmovyDokladSRozpisem, true,
                                        invoice.fields.Cislo, out)),
                  S(items.at("Nazev1") + (*c.number ? QStringLiteral(" č. ") : QString()) +
                    invoice.fields.Cislo));
    }
}

TEST(DocumentRules, DatesAndCurrencyEachKindPrints) {
    AppSettings settings = LawRates();
    InvoiceSnapshot invoice = Items({Row("", "A", "ks", "1", "100,00", "21")});
    invoice.fields.OpravovanyDoklad = QStringLiteral("2026001");
    invoice.fields.DuvodOpravy = QStringLiteral("Sleva");
    invoice.fields.Mena.clear();
    for (const DocumentKind kind : kDocumentKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto v = Variables(InvoiceDocumentVariables(kind, invoice, settings));
        // The tax document of a received payment asks for nothing: no due date.
        EXPECT_EQ(v.at("DatumSplatnosti").isEmpty(), kind == DocumentKind::DanovyDoklad);
        // The offer names the expected date of supply; the pro-forma none.
        EXPECT_EQ(v.at("DatumPlneni").isEmpty(), kind == DocumentKind::ProformaFaktura);
        EXPECT_EQ(S(v.at("Mena")), "CZK");
    }
    settings.VychoziMena = QStringLiteral("eur");
    EXPECT_EQ(S(Variables(CashReceiptVariables(invoice, settings)).at("Mena")), "EUR");

    // A payer's receipt in EUR carries the rate and the tax in crowns, as the invoice does.
    settings = LawRates();
    invoice.fields.Mena = QStringLiteral("eur");
    invoice.fields.Kurz = QStringLiteral("25,125");
    invoice.fields.DatumKurzu = QStringLiteral("4.3.2026");
    for (const PrintVariables& printed :
         {InvoiceDocumentVariables(DocumentKind::PrijmovyDokladSRozpisem, invoice, settings),
          CashReceiptVariables(invoice, settings),
          InvoiceDocumentVariables(DocumentKind::Faktura, invoice, settings)}) {
        const auto v = Variables(printed);
        EXPECT_EQ(S(v.at("Mena")), "EUR");
        EXPECT_EQ(S(v.at("Kurz")), "25,125");
        EXPECT_EQ(S(v.at("CelkemDPHCZK")), "527,63"); // 21,00 EUR x 25,125
    }
}

// The one reading of a currency field, and what each output makes of it.
TEST(Currency, OneReadingForEveryOutput) {
    const struct {
        const char* typed;
        const char* defaultCurrency;
        const char* code;
        bool iso;
        bool foreign; // beside the default
    } cases[] = {
        {"Kč", "CZK", "CZK", true, false},    {"kc", "CZK", "CZK", true, false},
        {" czk ", "CZK", "CZK", true, false}, {"", "CZK", "CZK", true, false},
        {"", "", "CZK", true, false},         {"eur", "CZK", "EUR", true, true},
        {"€", "CZK", "EUR", true, true},      {"EUR", "eur", "EUR", true, false},
        {"XYZ", "CZK", "XYZ", false, true},   {"euro", "CZK", "euro", false, true},
        {"Kč", "EUR", "CZK", true, true},     {"XTS", "CZK", "XTS", false, true},
    };
    AppSettings settings = LawRates();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        settings.VychoziMena = QString::fromUtf8(c.defaultCurrency);
        InvoiceRecord f;
        f.Mena = QString::fromUtf8(c.typed);
        EXPECT_EQ(S(CurrencyCode(f.Mena, settings.VychoziMena)), c.code);
        EXPECT_EQ(S(DocumentCurrency(f, settings)), c.code);
        EXPECT_EQ(IsIso4217Code(DocumentCurrency(f, settings)), c.iso);
        EXPECT_EQ(IsForeignCurrency(f, settings), c.foreign);
        // The QR code names an ISO code or is not made.
        const std::optional<QString> qr = QrCurrencyCode(f.Mena.isEmpty() ? QString() : f.Mena);
        if (!f.Mena.isEmpty()) {
            EXPECT_EQ(qr.has_value(), c.iso);
        }
    }
    QrPaymentData data;
    data.Iban = PayerSettings().Dodavatel.IBAN;
    data.Amount = QStringLiteral("100,00");
    data.Currency = QStringLiteral("XYZ");
    const QrPayment none = MakeQrPayment(data);
    EXPECT_TRUE(none.Text.isEmpty());
    EXPECT_TRUE(none.Reason.contains("není kód ISO")) << S(none.Reason);
    data.Currency = QStringLiteral("eur");
    EXPECT_TRUE(MakeQrPayment(data).Text.contains("*CC:EUR")) << S(MakeQrPayment(data).Text);
    // A symbol left out is named with the word a user knows.
    data.Symbol = QStringLiteral("FA-2026/042");
    EXPECT_EQ(S(MakeQrPayment(data).Reason),
              "QR Platba: variabilní symbol „FA-2026/042“ neobsahuje jen číslice, v kódu chybí.");
}

TEST(DocumentRules, ControlCharacterIsRefusedNamingTheField) {
    const AppSettings settings = LawRates();
    const struct {
        std::function<void(InvoiceRecord&, AppSettings&)> put;
        const char* field;
    } cases[] = {
        {[](InvoiceRecord& f, AppSettings&) { f.OdberatelNazev1 += QChar(0x01); },
         "Odběratel - název 1"},
        {[](InvoiceRecord& f, AppSettings&) { f.Komentar2 = QStringLiteral("a\x1f"); },
         "Komentář 2"},
        {[](InvoiceRecord& f, AppSettings&) { f.Polozky[24].Dodavka = QChar(0x7F); },
         "Položka 25 - Označení dodávky"},
        {[](InvoiceRecord& f, AppSettings&) { f.DuvodOpravy = QStringLiteral("\t"); },
         "Důvod opravy"},
        {[](InvoiceRecord&, AppSettings& s) { s.Dodavatel.Banka += QChar(0x85); },
         "Dodavatel - banka"},
    };
    InvoiceRecord clean = SampleInvoice().fields;
    EXPECT_NO_THROW(RefuseControlCharacters(clean, settings));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        InvoiceRecord f = clean;
        AppSettings s = settings;
        c.put(f, s);
        try {
            RefuseControlCharacters(f, s);
            ADD_FAILURE() << "accepted";
        } catch (const ValidationError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Pole „%1“ obsahuje řídicí znak").arg(QString::fromUtf8(c.field))))
                << S(e.message());
        }
    }
}

TEST(DocumentRules, CsvTextCannotBecomeAFormula) {
    const struct {
        const char* text;
        const char* cell;
    } cases[] = {
        {"=HYPERLINK(\"http://x\";\"a\")", "'=HYPERLINK(\"http://x\";\"a\")"},
        {"+420 777", "'+420 777"},
        {"-sleva", "'-sleva"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tA", "'\tA"},
        {"Pekárna = dobrá", "Pekárna = dobrá"},
        {"", ""},
        {"'=", "'="},
    };
    for (const auto& c : cases)
        EXPECT_EQ(S(CsvSafeText(QString::fromUtf8(c.text))), c.cell) << c.text;
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
