#include "printing/invoice_documents.h"
#include "printing/report_data_set.h"
#include "support/printing_fixtures.h"
#include "text/errors.h"

#include <gtest/gtest.h>

namespace tarvela::test {
namespace {

const QString kPayerKind1 = QStringLiteral(
    "Nazev1|FAKTURA - DAŇOVÝ DOKLAD|Nazev2|Číslo faktury:"
    "|DodavNazev|Truhlářství Dvořák s.r.o.|DodavJmeno|Jan Dvořák|DodavUlice|Lipová 12"
    "|DodavMesto|602 00 Brno|DodavIC|12345678|DodavDIC|CZ12345678"
    "|DodavRegistrace|KS Brno C 1234|DodavBanka|Fio banka|DodavUcet|2001234567/2010"
    "|DodavIBAN|CZ65 0800 0000 1920 0014 5399|DodavBIC|FIOBCZPP|DodavTel|+420 777 123 456"
    "|DodavFax||DodavEmail|dvorak@example.cz|DodavWWW|www.example.cz|DodavOsoba|Jana Dvořáková"
    "|OdberatelKod|K042|OdberatelNazev1|Pekárna U Mlýna|OdberatelNazev2|provozovna Líšeň"
    "|OdberatelOdpovedOsoba|Petr Novák|OdberatelUliceCislo|Mlýnská 5|OdberatelPSC|62800"
    "|OdberatelMesto|Brno|OdberatelIC|87654321|OdberatelDIC|CZ87654321"
    "|CisloDokladu|2026007|Symbol|2026007|Objednavka|OBJ-15|Prijemce|sklad"
    "|MistoVyskladneni|Brno|FormaUhrady|Převodním "
    "příkazem|DatumPlneni|5.3.2026|DatumVystaveni|6.3.2026"
    "|DatumSplatnosti|20.3.2026|Mena|CZK|Prijem|Petr Novák|Castka|478,00|CastkaSlovy|"
    "|UcelPlatby|Úhrada faktury 2026007|JmenoPlatce|Petr Novák"
    "|PopiskaSymbol|Variabilní symbol:|PlatceDPH|1|SazbaDPH1|21|SazbaDPH2|15|SazbaDPH3|10"
    "|CelkemBezDPH|400,00|CelkemDPH1|63,00|CelkemDPH2|15,00|CelkemDPH3|0,00|Uhrnem|478,00"
    "|Komentar1|Děkujeme za objednávku.|Komentar2|"
    "|QRCode|SPD*1.0*ACC:CZ6508000000192000145399*AM:478.00*CC:CZK*X-VS:2026007"
    "*MSG:ZALOHA ZA SLUZBY");

// A non-payer charges no tax: the rate cells of the rows count as none.
const QString kNonPayerKind1 = QStringLiteral(
    "Nazev1|FAKTURA|Nazev2|Číslo faktury:"
    "|DodavNazev|Truhlářství Dvořák s.r.o.|DodavJmeno|Jan Dvořák|DodavUlice|Lipová 12"
    "|DodavMesto|602 00 Brno|DodavIC|12345678|DodavDIC|CZ12345678"
    "|DodavRegistrace|KS Brno C 1234|DodavBanka|Fio banka|DodavUcet|2001234567/2010"
    "|DodavIBAN|CZ65 0800 0000 1920 0014 5399|DodavBIC|FIOBCZPP|DodavTel|+420 777 123 456"
    "|DodavFax||DodavEmail|dvorak@example.cz|DodavWWW|www.example.cz|DodavOsoba|Jana Dvořáková"
    "|OdberatelKod|K042|OdberatelNazev1|Pekárna U Mlýna|OdberatelNazev2|provozovna Líšeň"
    "|OdberatelOdpovedOsoba|Petr Novák|OdberatelUliceCislo|Mlýnská 5|OdberatelPSC|62800"
    "|OdberatelMesto|Brno|OdberatelIC|87654321|OdberatelDIC|CZ87654321"
    "|CisloDokladu|2026007|Symbol|2026007|Objednavka|OBJ-15|Prijemce|sklad"
    "|MistoVyskladneni|Brno|FormaUhrady|Převodním "
    "příkazem|DatumPlneni|5.3.2026|DatumVystaveni|6.3.2026"
    "|DatumSplatnosti|20.3.2026|Mena|CZK|Prijem|Petr Novák|Castka|400,00|CastkaSlovy|"
    "|UcelPlatby|Úhrada faktury 2026007|JmenoPlatce|Petr Novák"
    "|PopiskaSymbol|Konstantní symbol:|PlatceDPH|0|SazbaDPH1|21|SazbaDPH2|15|SazbaDPH3|10"
    "|CelkemBezDPH|400,00|CelkemDPH1|0,00|CelkemDPH2|0,00|CelkemDPH3|0,00|Uhrnem|400,00"
    "|Komentar1|Děkujeme za objednávku.|Komentar2|"
    "|QRCode|SPD*1.0*ACC:CZ6508000000192000145399*AM:400.00*CC:CZK"
    "*MSG:ZALOHA ZA SLUZBY");

// The golden text of kind 1 with the kind's own title, number label and words; a pro-forma has
// no date of supply, the tax document of a received payment no due date, and neither it nor the
// delivery note a payment code.
QString ForKind(QString golden, const QString& kind1Title, const QString& title,
                const QString& label, const QString& words, DocumentKind kind) {
    if (kind == DocumentKind::ProformaFaktura)
        golden.replace(QStringLiteral("|DatumPlneni|5.3.2026|"), QStringLiteral("|DatumPlneni||"));
    if (kind == DocumentKind::DanovyDoklad)
        golden.replace(QStringLiteral("|DatumSplatnosti|20.3.2026|"),
                       QStringLiteral("|DatumSplatnosti||"));
    if (kind == DocumentKind::DanovyDoklad || kind == DocumentKind::DodaciList)
        golden.truncate(golden.indexOf(QStringLiteral("|QRCode|")) + 8);
    golden.replace(QStringLiteral("Nazev1|") + kind1Title +
                       QStringLiteral("|Nazev2|Číslo faktury:"),
                   QStringLiteral("Nazev1|") + title + QStringLiteral("|Nazev2|") + label);
    golden.replace(QStringLiteral("|CastkaSlovy||"),
                   QStringLiteral("|CastkaSlovy|") + words + QStringLiteral("|"));
    return golden;
}

struct KindCase {
    DocumentKind kind;
    const char* payerTitle;
    const char* nonPayerTitle;
    const char* label;
    const char* words;
    const char* templatePath;
};

const KindCase kKinds[] = {
    {DocumentKind::Faktura, "FAKTURA - DAŇOVÝ DOKLAD", "FAKTURA", "Číslo faktury:", "",
     "Ses/Faktura.fr3"},
    {DocumentKind::ProformaFaktura, "PROFORMA FAKTURA", "PROFORMA FAKTURA", "Číslo faktury:", "",
     "Ses/Faktura.fr3"},
    {DocumentKind::DanovyDoklad, "DAŇOVÝ DOKLAD", "DAŇOVÝ DOKLAD", "Číslo dokladu:", "",
     "Ses/Faktura.fr3"},
    {DocumentKind::Dobropis, "DOBROPIS", "DOBROPIS", "Číslo dokladu:", "", "Ses/Faktura.fr3"},
    {DocumentKind::DodaciList, "DODACÍ LIST", "DODACÍ LIST", "Číslo dodacího listu:", "",
     "Ses/DodaciList.fr3"},
    {DocumentKind::CenovaNabidka, "CENOVÁ NABÍDKA", "CENOVÁ NABÍDKA", "Kód nabídky:", "",
     "Ses/CenovaNabidka.fr3"},
    {DocumentKind::PrijmovyDokladSRozpisem, "Příjmový doklad", "Příjmový doklad",
     "Číslo dokladu:", "=čtyřistasedmdesátosm korun=", "Ses/PrijmovyDoklad2.fr3"},
};

TEST(InvoiceDocumentVariables, GoldenTextForEveryKindPayerAndNonPayer) {
    const InvoiceSnapshot invoice = SampleInvoice();
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const QString payerExpected = ForKind(
            kPayerKind1, QStringLiteral("FAKTURA - DAŇOVÝ DOKLAD"), QString::fromUtf8(c.payerTitle),
            QString::fromUtf8(c.label), QString::fromUtf8(c.words), c.kind);
        // The first 55 pairs, up to QRCode; the pairs after it are checked by the rules tests.
        const auto upToQr = [](const QString& text) {
            return S(text.left(text.indexOf(QStringLiteral("|DanovyDoklad|"))));
        };
        EXPECT_EQ(upToQr(InvoiceDocumentVariables(c.kind, invoice, PayerSettings()).text()),
                  S(payerExpected));
        const QString nonPayerExpected = ForKind(
            kNonPayerKind1, QStringLiteral("FAKTURA"), QString::fromUtf8(c.nonPayerTitle),
            QString::fromUtf8(c.label),
            QString::fromUtf8(c.words).replace(QStringLiteral("sedmdesátosm"), QString()), c.kind);
        EXPECT_EQ(upToQr(InvoiceDocumentVariables(c.kind, invoice, NonPayerSettings()).text()),
                  S(nonPayerExpected));
        EXPECT_EQ(S(DocumentTitle(c.kind, true)), c.payerTitle);
        EXPECT_EQ(S(DocumentTemplate(c.kind)), c.templatePath);
    }
}

TEST(InvoiceDocumentVariables, SymbolLabelOnlyForTheTwoKnownSymbolTypes) {
    const InvoiceSnapshot invoice = SampleInvoice();
    AppSettings settings = PayerSettings();
    settings.TypSymbolu = SymbolType::Variable;
    EXPECT_TRUE(InvoiceDocumentVariables(DocumentKind::Faktura, invoice, settings)
                    .text()
                    .contains(QStringLiteral("|PopiskaSymbol|Variabilní symbol:|PlatceDPH|")));

    settings.TypSymbolu = static_cast<SymbolType>(5);
    const QString text = InvoiceDocumentVariables(DocumentKind::Faktura, invoice, settings).text();
    EXPECT_FALSE(text.contains(QStringLiteral("PopiskaSymbol")));
    EXPECT_TRUE(text.contains(QStringLiteral("|JmenoPlatce|Petr Novák|PlatceDPH|1|")));
    EXPECT_EQ(text.split(QLatin1Char('|')).size(), 188);
    // No symbol key either, so no symbol field in the payment text.
    EXPECT_TRUE(text.contains(QStringLiteral("*CC:CZK*MSG:ZALOHA ZA SLUZBY")));
}

TEST(InvoiceDocumentVariables, BarInsideAValueDoesNotShiftTheLaterPairs) {
    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.OdberatelNazev1 = QStringLiteral("Novák | Syn");
    invoice.fields.Komentar1 = QStringLiteral("a|b|c");
    const QString text =
        InvoiceDocumentVariables(DocumentKind::Faktura, invoice, PayerSettings()).text();
    const QStringList parts = text.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 190);
    EXPECT_EQ(S(parts[38]), "OdberatelNazev1");
    EXPECT_EQ(S(parts[39]), "Novák ¦ Syn");
    EXPECT_EQ(S(parts[40]), "OdberatelNazev2");
    EXPECT_EQ(S(parts[104]), "Komentar1");
    EXPECT_EQ(S(parts[105]), "a¦b¦c");
    EXPECT_EQ(S(parts[108]), "QRCode");
}

TEST(InvoiceDocumentVariables, ReceiptWordsNameTheAmountRoundedToWholeCrowns) {
    InvoiceSnapshot invoice = SampleInvoice();
    const auto wordsOf = [&](const char* caption) {
        invoice = WithTotal(SampleInvoice(), caption);
        if (QByteArray(caption) == "30249999999,70") {
            for (InvoiceItemRow& row : invoice.fields.Polozky)
                row = Row("", "Položka", "", "1", "999999999,99", "21");
        }
        const QString text = InvoiceDocumentVariables(DocumentKind::PrijmovyDokladSRozpisem,
                                                      invoice, PayerSettings())
                                 .text();
        const QStringList parts = text.split(QLatin1Char('|'));
        return S(parts[parts.indexOf(QStringLiteral("CastkaSlovy")) + 1]);
    };
    EXPECT_EQ(wordsOf("1234,56"), "=jedentisícdvěstětřicetpět korun=");
    EXPECT_EQ(wordsOf("46563,50"), "=čtyřicetšesttisícpětsetšedesátčtyři korun=");
    EXPECT_EQ(wordsOf(""), "=nula korun=");
    EXPECT_EQ(wordsOf("0,99"), "=jedna koruna=");
    EXPECT_EQ(wordsOf("3,20"), "=tři koruny=");
    EXPECT_EQ(wordsOf("10000000,00"), "=10000000 korun=");
    // 25 rows at the largest price with tax: beyond 32 bits, every digit stays.
    EXPECT_EQ(wordsOf("30249999999,70"), "=30250000000 korun="); // 30249999999,75 in fact
}

TEST(PayerName, ResponsiblePersonUnlessBlank) {
    EXPECT_EQ(S(PayerName(QStringLiteral("Petr Novák"), QStringLiteral("Pekárna"))), "Petr Novák");
    EXPECT_EQ(S(PayerName(QStringLiteral("   "), QStringLiteral("Pekárna"))), "Pekárna");
    EXPECT_EQ(S(PayerName(QStringLiteral("\t"), QStringLiteral("Pekárna"))), "Pekárna");
    EXPECT_EQ(S(PayerName(QString(), QString())), "");
    // Taken untrimmed.
    EXPECT_EQ(S(PayerName(QStringLiteral(" Petr "), QStringLiteral("Pekárna"))), " Petr ");

    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.OdberatelOdpovedOsoba = QStringLiteral("  ");
    const QString text =
        InvoiceDocumentVariables(DocumentKind::Faktura, invoice, PayerSettings()).text();
    EXPECT_TRUE(text.contains(QStringLiteral("|Prijem|Pekárna U Mlýna|Castka|")));
    EXPECT_TRUE(text.contains(QStringLiteral("|JmenoPlatce|Pekárna U Mlýna|")));
}

QList<QStringList> Rows(const ReportDataSet& dataSet) {
    QList<QStringList> rows;
    for (int i = 0; i < dataSet.rowCount(); ++i)
        rows.append(dataSet.row(i));
    return rows;
}

TEST(FillInvoiceItems, AllTwentyFiveRowsForAnInvoice) {
    ReportDataSet dataSet;
    FillInvoiceItems(dataSet, DocumentKind::Faktura, SampleInvoice());
    EXPECT_TRUE(dataSet.isOpen());

    const QList<ReportDataSet::Column> expectedColumns = {
        {"Id", ReportDataSet::ColumnType::AutoIncrement, 0},
        {"Kod", ReportDataSet::ColumnType::Text, 50},
        {"Dodavka", ReportDataSet::ColumnType::Text, 255},
        {"MJ", ReportDataSet::ColumnType::Text, 10},
        {"PocetMJ", ReportDataSet::ColumnType::Text, 10},
        {"Cena", ReportDataSet::ColumnType::Text, 15},
        {"DPH", ReportDataSet::ColumnType::Text, 2},
        {"Zaklad", ReportDataSet::ColumnType::Text, 15}};
    EXPECT_EQ(dataSet.columns(), expectedColumns);

    QList<QStringList> expected = {{"1", "A1", "Oprava stolu", "ks", "2", "150,00", "21", "300,00"},
                                   {"2", "", "", "", "", "", "", ""}, // the QR message row
                                   {"3", "B7", "Lak", "l", "0,5", "200,00", "15", "100,00"}};
    for (int id = 4; id <= 25; ++id)
        expected.append({QString::number(id), "", "", "", "", "", "", ""});
    EXPECT_EQ(Rows(dataSet), expected);
}

TEST(FillInvoiceItems, EveryKindButTheReceiptKeepsAllRows) {
    for (const KindCase& c : kKinds) {
        ReportDataSet dataSet;
        FillInvoiceItems(dataSet, c.kind, SampleInvoice());
        EXPECT_EQ(dataSet.rowCount(), c.kind == DocumentKind::PrijmovyDokladSRozpisem ? 2 : 25)
            << static_cast<int>(c.kind);
    }
}

TEST(FillInvoiceItems, ReceiptWithItemsLeavesOutRowsWithABlankDescription) {
    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.Polozky[1].Dodavka = QStringLiteral("   "); // code "msg" but no description
    invoice.fields.Polozky[6] = Row("X", "", "ks", "1", "5,00", "21");
    invoice.fields.Polozky[9] = Row("", "Doprava", "", "", "", "");

    ReportDataSet dataSet;
    FillInvoiceItems(dataSet, DocumentKind::PrijmovyDokladSRozpisem, invoice);
    const QList<QStringList> expected = {
        {"1", "A1", "Oprava stolu", "ks", "2", "150,00", "21", "300,00"},
        {"3", "B7", "Lak", "l", "0,5", "200,00", "15", "100,00"},
        {"10", "", "Doprava", "", "", "", "", ""}};
    EXPECT_EQ(Rows(dataSet), expected);
}

TEST(FillInvoiceItems, CutsTextsToTheirWidthsAndFormatsTheBase) {
    InvoiceSnapshot invoice;
    invoice.fields.Polozky[0] =
        InvoiceItemRow{QString(60, QLatin1Char('K')),      QString(300, QChar(0x0161)), // š
                       QStringLiteral("kilogramyxx"),      QStringLiteral("00000000001"),
                       QStringLiteral("0000000000000,50"), QStringLiteral("21%")};
    invoice.fields.Polozky[1] = Row("", "", "", "-0", "0", "");
    invoice.fields.Polozky[2] = Row("", "", "", "1", "0,001", "");

    ReportDataSet dataSet;
    FillInvoiceItems(dataSet, DocumentKind::Faktura, invoice);
    EXPECT_EQ(S(dataSet.value(0, "Kod")), std::string(50, 'K'));
    EXPECT_EQ(dataSet.value(0, "Dodavka"), QString(255, QChar(0x0161)));
    EXPECT_EQ(S(dataSet.value(0, "MJ")), "kilogramyx");
    EXPECT_EQ(S(dataSet.value(0, "PocetMJ")), "0000000000");
    EXPECT_EQ(S(dataSet.value(0, "Cena")), "0000000000000,5");
    EXPECT_EQ(S(dataSet.value(0, "DPH")), "21");
    EXPECT_EQ(S(dataSet.value(0, "Zaklad")), "0,50");
    EXPECT_EQ(S(dataSet.value(1, "Zaklad")), "");
    EXPECT_EQ(S(dataSet.value(2, "Zaklad")), ""); // 0,001 rounds to no haléř
}

TEST(FillInvoiceItems, ReplacesWhatAnEarlierReportLeftInTheDataSet) {
    ReportDataSet dataSet;
    dataSet.addColumn("Stary", ReportDataSet::ColumnType::Integer);
    dataSet.createAndOpen();
    dataSet.appendRow({"7"});
    FillInvoiceItems(dataSet, DocumentKind::PrijmovyDokladSRozpisem, SampleInvoice());
    EXPECT_EQ(dataSet.columns().size(), 8);
    EXPECT_EQ(dataSet.columnIndex("Stary"), -1);
    EXPECT_EQ(dataSet.rowCount(), 2);
}

} // namespace
} // namespace tarvela::test

namespace tarvela::test {
namespace {

TEST(InvoiceDocumentVariables, TextWindows1250CannotHoldNamesItsFieldOnly) {
    const struct {
        QString InvoiceRecord::*member;
        const char* caption;
        DocumentKind kind = DocumentKind::Faktura;
    } fields[] = {{&InvoiceRecord::OdberatelNazev1, "Odběratel - název 1"},
                  {&InvoiceRecord::Komentar2, "Komentář 2"},
                  {&InvoiceRecord::Objednavka, "Objednávka"},
                  {&InvoiceRecord::DuvodOpravy, "Důvod opravy", DocumentKind::Dobropis},
                  {&InvoiceRecord::OpravovanyDoklad, "Opravovaný doklad", DocumentKind::Dobropis}};
    for (const auto& field : fields) {
        InvoiceSnapshot invoice = SampleInvoice();
        invoice.fields.*field.member = QStringLiteral("Cena v ₽");
        try {
            InvoiceDocumentVariables(field.kind, invoice, PayerSettings());
            ADD_FAILURE() << field.caption << " was accepted";
        } catch (const EncodingError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(field.caption) +
                                             QStringLiteral(": „Cena v ₽“")))
                << S(e.message());
            // Only the field, never the whole variable text of the document.
            EXPECT_FALSE(e.message().contains(QStringLiteral("DodavNazev"))) << S(e.message());
        }
    }
}

} // namespace
} // namespace tarvela::test
