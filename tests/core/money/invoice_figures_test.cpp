#include "money/invoice_figures.h"

#include "printing/money.h"
#include "support/printing_fixtures.h"
#include "text/errors.h"

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using test::Row;

AppSettings Settings(bool payer) {
    AppSettings s = payer ? test::PayerSettings() : test::NonPayerSettings();
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 0;
    return s;
}

InvoiceRecord Invoice(std::initializer_list<InvoiceItemRow> rows) {
    InvoiceRecord f;
    f.Mena = QStringLiteral("CZK");
    f.FormaUhrady = QStringLiteral("PP");
    int i = 0;
    for (const InvoiceItemRow& r : rows)
        f.Polozky[static_cast<std::size_t>(i++)] = r;
    return f;
}

QString Text(qint64 halere) {
    return FormatHalere(halere);
}

// The figures of the three awkward invoices, each adding up: rows, rates and totals.
TEST(InvoiceFigures, RoundedRowsAddUpToTheTotals) {
    const struct {
        const char* name;
        InvoiceRecord record;
        const char* base;
        const char* tax;
        const char* total;
    } cases[] = {
        {"HalfHalerOfTax", Invoice({Row("", "Lišta", "m", "12,5", "614,35", "12")}), "7679,38",
         "921,53", "8600,91"},
        {"HalfHalerOfAmount",
         Invoice({Row("", "A", "", "1,5", "0,67", "0"), Row("", "B", "", "1", "100,00", "21")}),
         "101,01", "21,00", "122,01"},
        {"ThreeRatesOfTheSameRow",
         Invoice({Row("", "A", "", "1,5", "12,505", "21"), Row("", "B", "", "1,5", "12,505", "12"),
                  Row("", "C", "", "1,5", "12,505", "0")}),
         "56,28", "6,19", "62,47"},
    };
    for (const auto& c : cases) {
        const InvoiceFigures f = ComputeInvoiceFigures(c.record, Settings(true));
        EXPECT_EQ(Text(f.Base), QString::fromUtf8(c.base)) << c.name;
        EXPECT_EQ(Text(f.Tax), QString::fromUtf8(c.tax)) << c.name;
        EXPECT_EQ(Text(f.Total), QString::fromUtf8(c.total)) << c.name;
        qint64 rows = 0;
        qint64 rates = 0;
        for (const RowFigures& r : f.Rows)
            rows += r.Total();
        for (const RateFigures& r : f.Rates)
            rates += r.Total();
        EXPECT_EQ(rows, f.Total) << c.name;
        EXPECT_EQ(rates, f.Total) << c.name;
        EXPECT_EQ(f.Due.Due, f.Total) << c.name; // by transfer: nothing rounded
    }
    const InvoiceFigures three = ComputeInvoiceFigures(cases[2].record, Settings(true));
    ASSERT_EQ(three.Rates.size(), 3u);
    for (const RateFigures& r : three.Rates)
        EXPECT_EQ(r.Base, 1876) << r.Percent;
    EXPECT_EQ(three.Rates[0].Percent, 21); // highest first
    EXPECT_EQ(three.Rates[2].Percent, 0);
}

TEST(InvoiceFigures, NonPayerChargesNoTax) {
    const InvoiceRecord record = Invoice({Row("", "Práce", "h", "10", "380,00", "21")});
    const InvoiceFigures f = ComputeInvoiceFigures(record, Settings(false));
    EXPECT_EQ(f.Total, 380000);
    EXPECT_EQ(f.Tax, 0);
    EXPECT_TRUE(f.Rows[0].NonPayerRate);
    EXPECT_FALSE(f.Rows[0].UnknownRate);
    ASSERT_EQ(f.Rates.size(), 1u);
    EXPECT_EQ(f.Rates[0].Percent, 0);
    EXPECT_EQ(f.Due.Due, 380000);
}

TEST(InvoiceFigures, UnknownRateIsNamedNotTaxed) {
    const InvoiceRecord record =
        Invoice({Row("", "A", "", "1", "100", "21"), Row("", "B", "", "1", "100", "19"),
                 Row("", "C", "", "1", "100", ""), Row("", "jen text", "", "", "", "")});
    const InvoiceFigures f = ComputeInvoiceFigures(record, Settings(true));
    EXPECT_EQ(f.UnknownRateRows(), (QList<int>{2, 3}));
    EXPECT_EQ(f.Tax, 2100);
    EXPECT_EQ(f.Total, 32100);
}

TEST(InvoiceFigures, ForeignCurrencyPerRateInCrowns) {
    InvoiceRecord record =
        Invoice({Row("", "A", "", "3", "33,33", "21"), Row("", "B", "", "1", "10,01", "12"),
                 Row("", "C", "", "1", "0,05", "0")});
    record.Mena = QStringLiteral("EUR");
    record.Kurz = QStringLiteral("24,315");
    const InvoiceFigures f = ComputeInvoiceFigures(record, Settings(true));
    ASSERT_TRUE(f.InCrowns);
    EXPECT_EQ(f.Currency, QStringLiteral("EUR"));
    // 21 %: base 99,99 tax 21,00; 12 %: base 10,01 tax 1,20; 0 %: 0,05.
    EXPECT_EQ(f.rate(21).TaxCzk, 51062);   // 21,00 x 24,315 = 510,615
    EXPECT_EQ(f.rate(21).BaseCzk, 243126); // 99,99 x 24,315 = 2431,25685
    EXPECT_EQ(f.rate(12).TaxCzk, 2918);    // 1,20 x 24,315 = 29,178
    EXPECT_EQ(f.rate(0).BaseCzk, 122);     // 0,05 x 24,315 = 1,21575
    EXPECT_EQ(f.TaxCzk, 51062 + 2918);
    EXPECT_EQ(f.Due.Rounding, 0); // never rounded outside crowns
    record.Kurz = QStringLiteral("0");
    EXPECT_FALSE(ComputeInvoiceFigures(record, Settings(true)).InCrowns);
}

TEST(InvoiceFigures, CashInCrownsRoundsAsASeparateFigure) {
    InvoiceRecord record = Invoice({Row("", "A", "", "1", "100,41", "21")});
    record.FormaUhrady = QStringLiteral("H");
    const InvoiceFigures f = ComputeInvoiceFigures(record, Settings(true));
    EXPECT_EQ(f.Total, 12150); // 100,41 + 21,09 = 121,50
    EXPECT_EQ(f.Due.Due, 12200);
    EXPECT_EQ(f.Due.Rounding, 50);
    EXPECT_EQ(f.Base + f.Tax, f.Total); // the rounding is outside the tax base
    EXPECT_EQ(ComputeInvoiceFigures(record, Settings(true), DocumentKind::CenovaNabidka).Due.Due,
              12150);
}

TEST(InvoiceFigures, PaidAndOutstanding) {
    InvoiceRecord record = Invoice({Row("", "A", "", "1", "1000", "21")});
    const struct {
        const char* paid;
        const char* date;
        qint64 expectedPaid;
    } cases[] = {
        {"", "", 0},           {"", "3.4.2026", 121000},         {"500,00", "3.4.2026", 50000},
        {"210.50", "", 21050}, {"1 210,00", "3.4.2026", 121000}, {"12.345,00", "3.4.2026", 1234500},
        {"abc", "3.4.2026", 0}};
    for (const auto& c : cases) {
        record.UhrazenaCastka = QString::fromUtf8(c.paid);
        record.DatumUhrady = QString::fromUtf8(c.date);
        const InvoiceFigures f = ComputeInvoiceFigures(record, Settings(true));
        EXPECT_EQ(f.Paid, c.expectedPaid) << c.paid;
        EXPECT_EQ(f.Outstanding, std::max<qint64>(0, 121000 - c.expectedPaid)) << c.paid;
    }
}

TEST(StoredTotal, ReadExactly) {
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("12.345,00")), 1234500);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("1234,5")), 123450);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("99999999999")), 9999999999900);
    // The largest stored total that is read, and the first one beyond it.
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("999999999999,99")), 99999999999999);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("1000000000000")), std::nullopt);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("-7709,00")), -770900);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("")), std::nullopt);
    EXPECT_EQ(ReadTotalHalere(QStringLiteral("1,2,3")), std::nullopt);
}

} // namespace
} // namespace tarvela
