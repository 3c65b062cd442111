#include "invoice/invoice_store.h"
#include "money/decimal.h"
#include "printing/accountant_export.h"
#include "printing/money.h"
#include "printing/report_data_set.h"
#include "support/printing_fixtures.h"
#include "support/test_support.h"
#include "text/amount_text.h"
#include "text/errors.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// An invoice of one row at 21 % whose base makes the given total including tax.
InvoiceRecord InvoiceWith(const QString& number, const char* base, QDate supply,
                          const QString& dic = QStringLiteral("CZ87654321")) {
    InvoiceRecord f = SampleInvoice().fields;
    f.Polozky = {};
    f.Polozky[0] = Row("A", "Práce", "h", "1", base, "21");
    f.Cislo = number;
    f.Symbol = number;
    f.DatumPlneni = supply;
    f.OdberatelDIC = dic;
    return f;
}

std::vector<PeriodInvoice> Saved(const TempProgramFolder& folder,
                                 const std::vector<InvoiceRecord>& records, const QDate& from,
                                 const QDate& to) {
    const InvoiceStore store(folder.path());
    store.EnsurePeriodFolder(2026);
    for (const InvoiceRecord& r : records)
        store.SaveInvoice(2026, r);
    return ReadPeriodInvoices(store, 2026, from, to, PayerSettings());
}

QList<QStringList> CsvRows(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"))) {
        if (!line.isEmpty())
            rows.append(line.split(QLatin1Char(';')));
    }
    return rows;
}

} // namespace

// 9 999, 10 000 and 10 001 Kč including tax: only the last goes one by one; a customer without DIČ
// is summed whatever the amount; a foreign invoice counts in crowns at its rate.
TEST(VatSummary, ControlStatementSplitAtTenThousandCrowns) {
    TempProgramFolder folder;
    InvoiceRecord euro = InvoiceWith("2026005", "1000,00", QDate(2026, 2, 10));
    euro.Mena = QStringLiteral("EUR");
    euro.Kurz = QStringLiteral("25,10");
    const auto [from, to] = QuarterRange(2026, 1);
    EXPECT_EQ(from, QDate(2026, 1, 1));
    EXPECT_EQ(to, QDate(2026, 3, 31));
    const auto invoices = Saved(folder,
                                {InvoiceWith("2026001", "8263,64", QDate(2026, 1, 5)),
                                 InvoiceWith("2026002", "8264,46", QDate(2026, 1, 6)),
                                 InvoiceWith("2026003", "8265,29", QDate(2026, 3, 31)),
                                 InvoiceWith("2026004", "9000,00", QDate(2026, 2, 1), ""), euro,
                                 InvoiceWith("2026006", "50000,00", QDate(2026, 4, 1))},
                                from, to);
    ASSERT_EQ(invoices.size(), 5u); // April's invoice is outside the quarter
    EXPECT_EQ(invoices[0].figures.Total, 999900);
    EXPECT_EQ(invoices[1].figures.Total, 1000000);
    EXPECT_EQ(invoices[2].figures.Total, 1000100);

    const VatSummary vat = SummarizeVat(invoices, from, to);
    ASSERT_EQ(vat.individual.size(), 2u);
    EXPECT_EQ(vat.individual[0].Cislo, QStringLiteral("2026003"));
    EXPECT_EQ(vat.individual[0].sums.rate(21).baseCents, 826529);
    EXPECT_EQ(vat.individual[0].sums.rate(21).taxCents, 173571);
    EXPECT_EQ(vat.individual[1].Cislo, QStringLiteral("2026005"));
    EXPECT_EQ(vat.individual[1].sums.rate(21).baseCents, 2510000); // 1000 EUR x 25,10
    EXPECT_EQ(vat.individual[1].sums.rate(21).taxCents, 527100);   // 210 EUR x 25,10
    EXPECT_EQ(vat.restCount, 3);
    EXPECT_EQ(vat.rest.rate(21).baseCents, 826364 + 826446 + 900000);
    // The whole equals the parts, to the haléř.
    EXPECT_EQ(vat.total.rate(21).baseCents,
              vat.rest.rate(21).baseCents + 826529 + vat.individual[1].sums.rate(21).baseCents);
    EXPECT_EQ(vat.total.taxCents, vat.rest.taxCents + vat.individual[0].sums.taxCents +
                                      vat.individual[1].sums.taxCents);

    const QList<QStringList> csv = CsvRows(VatSummaryCsv(vat, PayerSettings()));
    ASSERT_EQ(csv.size(), 1 + 1 + 2 + 1);
    EXPECT_EQ(csv[0].mid(0, 6), (QStringList{"Oddíl", "DIČ odběratele", "Číslo dokladu",
                                             "Datum plnění", "Základ 21 %", "DPH 21 %"}));
    EXPECT_EQ(csv[2].mid(0, 6), (QStringList{"Nad 10 000 Kč", "CZ87654321", "2026003", "31.3.2026",
                                             "8265,29", "1735,71"}));
    EXPECT_EQ(csv[4][0], QStringLiteral("Ostatní doklady"));
    EXPECT_EQ(csv[4][4], QStringLiteral("25528,10"));

    // The print: the documents one by one as rows, the sums as variables.
    ReportDataSet rows;
    FillVatSummary(rows, vat, PayerSettings());
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.value(1, "Zaklad1"), QStringLiteral("25100,00"));
    const QString variables = VatSummaryVariables(vat, PayerSettings()).text();
    EXPECT_TRUE(variables.contains("|OstatniPocet|3")) << S(variables);
    EXPECT_TRUE(variables.contains("Nadpis|Přehled DPH 1.1.2026 - 31.3.2026|")) << S(variables);
    EXPECT_TRUE(variables.contains("|NazevSouboru|Přehled DPH 2026-01-01 až 2026-03-31"))
        << S(variables);

    // An invoice abroad without a rate cannot be summed in crowns.
    std::vector<PeriodInvoice> noRate = invoices;
    noRate[4].record.Kurz.clear();
    noRate[4].figures = ComputeInvoiceFigures(noRate[4].record, PayerSettings());
    EXPECT_THROW(SummarizeVat(noRate, from, to), ValidationError);
}

TEST(PeriodExport, CsvColumnsAndExactSums) {
    TempProgramFolder folder;
    InvoiceRecord mixed = SampleInvoice().fields; // 300 at 21 %, 100 at 15 %
    mixed.DatumUhrady = QStringLiteral("20.3.2026");
    mixed.UhrazenaCastka = QStringLiteral("478");
    mixed.OdberatelNazev1 = QStringLiteral("Pekárna; \"U Mlýna\"");
    const auto [from, to] = MonthRange(2026, 3);
    const auto invoices =
        Saved(folder, {mixed, InvoiceWith("2026008", "0,10", QDate(2026, 3, 9))}, from, to);
    ASSERT_EQ(invoices.size(), 2u);

    const QByteArray bytes = PeriodInvoicesCsv(invoices, PayerSettings());
    EXPECT_TRUE(bytes.contains("\"Pekárna; \"\"U Mlýna\"\"\""));
    const QList<QStringList> csv =
        CsvRows(QByteArray(bytes).replace("\"Pekárna; \"\"U Mlýna\"\"\"", "P"));
    ASSERT_EQ(csv.size(), 3);
    EXPECT_EQ(csv[0], (QStringList{"Číslo",
                                   "Datum vystavení",
                                   "Datum plnění",
                                   "Datum splatnosti",
                                   "Odběratel",
                                   "IČ",
                                   "DIČ",
                                   "Základ 21 %",
                                   "DPH 21 %",
                                   "Základ 15 %",
                                   "DPH 15 %",
                                   "Základ 10 %",
                                   "DPH 10 %",
                                   "Základ 0 %",
                                   "DPH 0 %",
                                   "Celkem",
                                   "Měna",
                                   "Datum úhrady",
                                   "Uhrazeno",
                                   "Kurz",
                                   "Zaokrouhlení",
                                   "Druh dokladu",
                                   "Opravovaný doklad"}));
    EXPECT_EQ(csv[1],
              (QStringList{"2026007",    "6.3.2026", "5.3.2026", "20.3.2026", "P",     "87654321",
                           "CZ87654321", "300,00",   "63,00",    "100,00",    "15,00", "0,00",
                           "0,00",       "0,00",     "0,00",     "478,00",    "CZK",   "20.3.2026",
                           "478,00",     "",         "",         "faktura",   ""}));
    // 0,10 at 21 %: tax 0,02, total 0,12, unpaid.
    EXPECT_EQ(csv[2].mid(7, 2), (QStringList{"0,10", "0,02"}));
    EXPECT_EQ(csv[2][15], QStringLiteral("0,12"));
    EXPECT_EQ(csv[2][18], QString());
    // Every row: the total is the sum of its bases and taxes.
    for (qsizetype r = 1; r < csv.size(); ++r) {
        qint64 sum = 0;
        for (int c = 7; c < 15; ++c)
            sum += ParseHalere(csv[r][c]).value_or(-1);
        EXPECT_EQ(sum, ParseHalere(csv[r][15]).value_or(-2)) << r;
    }
}

TEST(PeriodExport, WritesTheChosenKindsOrNothing) {
    TempProgramFolder folder;
    const auto [from, to] = MonthRange(2026, 3);
    InvoiceRecord second = InvoiceWith("2026008", "100,00", QDate(2026, 3, 9));
    second.OpravovanyDoklad = QStringLiteral("2026007");
    auto invoices = Saved(folder, {SampleInvoice().fields, second}, from, to);
    const QString out = folder.file("export");
    QDir().mkpath(out);

    EXPECT_EQ(ExportPeriod(out, invoices, {DocumentKind::Faktura}, PayerSettings()),
              (QStringList{"2026007.isdoc", "2026008.isdoc", "faktury.csv"}));

    // A credit note needs the corrected document: the first invoice has none, nothing is written.
    const QString refused = folder.file("refused");
    QDir().mkpath(refused);
    try {
        ExportPeriod(refused, invoices, {DocumentKind::Faktura, DocumentKind::Dobropis},
                     PayerSettings());
        ADD_FAILURE() << "not refused";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().startsWith("Faktura 2026007: Doklad nelze uložit jako ISDOC, "
                                           "chybí: opravovaný doklad"))
            << S(e.message());
    }
    EXPECT_TRUE(QDir(refused).isEmpty());
    EXPECT_EQ(PeriodIsdocFileName(second, DocumentKind::Dobropis),
              QStringLiteral("2026008-dobropis.isdoc"));
}

// Foreign rows carry their rate, cash in crowns its rounding, a credit note its kind and
// reference; a typed text never becomes a formula and a control character is refused.
TEST(PeriodExport, CsvRateRoundingCreditNoteAndTextCells) {
    TempProgramFolder folder;
    const auto [from, to] = MonthRange(2026, 3);
    InvoiceRecord euro = InvoiceWith("2026001", "100,00", QDate(2026, 3, 2));
    euro.Mena = QStringLiteral("eur");
    euro.Kurz = QStringLiteral("25,125");
    euro.DatumKurzu = QStringLiteral("1.3.2026");
    InvoiceRecord cash = InvoiceWith("2026002", "100,41", QDate(2026, 3, 3)); // 121,50
    cash.FormaUhrady = QStringLiteral("H");
    cash.Mena = QStringLiteral("Kč");
    cash.OdberatelNazev1 = QStringLiteral("=HYPERLINK(A1)");
    cash.UhrazenaCastka = QStringLiteral("@zaplaceno");
    InvoiceRecord credit = InvoiceWith("2026003", "-100,00", QDate(2026, 3, 4));
    credit.OpravovanyDoklad = QStringLiteral("2026001");
    credit.DuvodOpravy = QStringLiteral("Vrácené zboží");
    credit.OdberatelIC = QStringLiteral("-12");
    const auto invoices = Saved(folder, {euro, cash, credit}, from, to);
    ASSERT_EQ(invoices.size(), 3u);

    const QList<QStringList> csv = CsvRows(PeriodInvoicesCsv(invoices, PayerSettings()));
    ASSERT_EQ(csv.size(), 4);
    const struct {
        int row;
        QStringList cells; // Odběratel, IČ, Celkem, Měna, Uhrazeno, Kurz, Zaokrouhlení, Druh,
                           // Opravovaný doklad
    } expected[] = {
        {1, {"Pekárna U Mlýna", "87654321", "121,00", "EUR", "", "25,125", "", "faktura", ""}},
        {2,
         {"'=HYPERLINK(A1)", "87654321", "121,50", "CZK", "'@zaplaceno", "", "0,50", "faktura",
          ""}},
        {3, {"Pekárna U Mlýna", "'-12", "-121,00", "CZK", "", "", "", "dobropis", "2026001"}},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.row);
        const QStringList& r = csv[e.row];
        EXPECT_EQ((QStringList{r[4], r[5], r[15], r[16], r[18], r[19], r[20], r[21], r[22]}),
                  e.cells);
    }
    // Amounts stay numbers a spreadsheet reads, the negative ones too.
    for (qsizetype r = 1; r < csv.size(); ++r)
        for (int c = 7; c <= 15; ++c) {
            Decimal number;
            EXPECT_EQ(ReadDecimal(csv[r][c], number, kLargestTypedNumber), DecimalError::None)
                << r << " " << c;
        }

    // "Kč" is crowns for the VAT summary too (no rate asked for); the euros count at their rate.
    const VatSummary vat = SummarizeVat(invoices, from, to);
    EXPECT_EQ(vat.total.totalCents(), (251250 + 52763) + 12150 - 12100);

    // In the period export the credit note is a credit note, with its reference.
    const QString out = folder.file("export");
    QDir().mkpath(out);
    ExportPeriod(out, invoices, {DocumentKind::Faktura}, PayerSettings());
    const QByteArray note = ReadFileBytes(QDir(out).filePath("2026003.isdoc"));
    EXPECT_TRUE(note.contains("<DocumentType>2</DocumentType>")) << note.constData();
    EXPECT_TRUE(note.contains("<ID>2026001</ID>"));
    EXPECT_TRUE(ReadFileBytes(QDir(out).filePath("2026001.isdoc"))
                    .contains("<DocumentType>1</DocumentType>"));

    std::vector<PeriodInvoice> control = invoices;
    control[1].record.OdberatelMesto = QStringLiteral("Brno\x01");
    try {
        PeriodInvoicesCsv(control, PayerSettings());
        ADD_FAILURE() << "written";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().startsWith("Faktura 2026002: Pole „Odběratel - město“"))
            << S(e.message());
    }
}
