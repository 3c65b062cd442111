#include "printing/period_overview.h"
#include "printing/report_data_set.h"
#include "support/printing_fixtures.h"
#include "support/sample_invoices.h"
#include "support/test_support.h"
#include "text/codec.h"

#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

namespace tarvela::test {
namespace {

QByteArray InvoiceFile(const QMap<int, QString>& lines, int count = 49) {
    return InvoiceFileBytes(lines, count);
}

QMap<int, QString> Lines(const char* number, const char* customer, const char* total,
                         const char* paidDate, const char* currency, const char* paid) {
    return {{1, QString::fromUtf8(number)},    {7, QStringLiteral("5.3.2026")},
            {8, QStringLiteral("6.3.2026")},   {9, QStringLiteral("20.3.2026")},
            {11, QString::fromUtf8(customer)}, {46, QString::fromUtf8(total)},
            {47, QString::fromUtf8(paidDate)}, {48, QString::fromUtf8(currency)},
            {49, QString::fromUtf8(paid)}};
}

struct OverviewFixture : ::testing::Test {
    TempProgramFolder folder;
    AppSettings settings;
    OverviewFixture() {
        settings.AktualniRok = 2026;
        settings.VychoziMena = QStringLiteral("CZK");
    }
};

TEST_F(OverviewFixture, MixedPeriodGivesSortedRowsWithTheirAmounts) {
    folder.writeBytes("2026/2026010.tvl", InvoiceFile(Lines("2026010", "Hotel Šumava", "1 234,56",
                                                            "10.4.2026", "EUR", "1.234")));
    folder.writeBytes("2026/2026002.tvl",
                      InvoiceFile(Lines("2026002", "Pekárna U Mlýna", "1 234,56", "", "CZK", "")));
    folder.writeBytes("2026/2026001.TVL", InvoiceFile(Lines("2026001", "Obec Lipová", "500,00",
                                                            "1.2.2026", "CZK", "999")));
    folder.writeBytes("2026/2026004.tvl",
                      InvoiceFile(Lines("2026004", "Krátký soubor", "", "", "", ""), 45));
    folder.writeBytes("2026/2026005.tvl",
                      InvoiceFile(Lines("2026005", "Malá měna", "300,00", "", "czk", "")));
    folder.writeBytes("2026/2026009.TVL", QByteArray());
    folder.writeBytes("2026/2026003.tvl1",
                      InvoiceFile(Lines("2026003", "Nemá být", "1,00", "", "CZK", "")));
    QDir().mkpath(folder.file("2026/2026006.tvl"));

    int entriesSeen = 0;
    const InvoiceStore store(folder.path());
    const QList<OverviewEntry> entries =
        CollectPeriodOverview(store, settings, [&] { ++entriesSeen; });
    EXPECT_GE(entriesSeen, 6);

    ReportDataSet dataSet;
    FillPeriodOverview(dataSet, entries, settings.VychoziMena);

    QStringList names;
    for (const ReportDataSet::Column& c : dataSet.columns())
        names.append(c.name);
    EXPECT_EQ(names.join(','), "Id,Cislo,Odberatel,Castka,CastkaJinaMena,DatumVystaveni,"
                               "DatumSplatnosti,DatumUhrady,Uhrazeno,Mena,CastkaPresne,"
                               "CastkaJinaMenaPresne,UhrazenoPresne");

    QList<QStringList> rows;
    for (int i = 0; i < dataSet.rowCount(); ++i)
        rows.append(dataSet.row(i));
    const QList<QStringList> expected = {
        // What line 49 says was paid, not the total.
        {"1", "2026001", "Obec Lipová", "500", "0", "5.3.2026", "20.3.2026", "1.2.2026", "999",
         "CZK", "500,00", "", "999,00"},
        {"2", "2026002", "Pekárna U Mlýna", "1234", "0", "5.3.2026", "20.3.2026", "", "0", "CZK",
         "1234,56", "", ""},
        {"3", "2026004", "Krátký soubor", "0", "0", "5.3.2026", "20.3.2026", "", "0", "CZK", "", "",
         ""},
        {"4", "2026005", "Malá měna", "0", "300", "5.3.2026", "20.3.2026", "", "0", "czk", "",
         "300,00", ""},
        {"5", "2026009.tvl", "", "0", "0", "", "", "", "0", "CZK", "", "", ""},
        {"6", "2026010", "Hotel Šumava", "0", "1234", "5.3.2026", "20.3.2026", "10.4.2026", "1234",
         "EUR", "", "1234,56", "1234,00"},
    };
    for (qsizetype i = 0; i < rows.size() && i < expected.size(); ++i)
        EXPECT_EQ(S(rows[i].join(u';')), S(expected[i].join(u';')));
    EXPECT_EQ(rows, expected);
}

TEST_F(OverviewFixture, PaidAmountsAreAmountsAndSumsStayPerCurrency) {
    const struct {
        const char* number;
        const char* total;
        const char* paidDate;
        const char* currency;
        const char* paid;
        const char* uhrazeno;
        const char* uhrazenoPresne;
    } cases[] = {
        {"2026001", "1210,50", "20.1.2026", "CZK", "", "1210", "1210,50"},
        {"2026002", "443,83", "21.1.2026", "EUR", "443,83", "443", "443,83"},
        {"2026003", "100,10", "", "EUR", "100,10", "100", "100,10"}, // paid, date not typed
        {"2026004", "99,99", "22.1.2026", "USD", "1 000,5", "1000", "1000,50"},
        {"2026005", "0,75", "", "CZK", "", "0", ""},
    };
    for (const auto& c : cases)
        folder.writeBytes(
            QStringLiteral("2026/%1.tvl").arg(c.number),
            InvoiceFile(Lines(c.number, "", c.total, c.paidDate, c.currency, c.paid)));
    const QList<OverviewEntry> entries =
        CollectPeriodOverview(InvoiceStore(folder.path()), settings);
    ReportDataSet dataSet;
    FillPeriodOverview(dataSet, entries, settings.VychoziMena);
    ASSERT_EQ(dataSet.rowCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(S(dataSet.value(i, "Uhrazeno")), cases[i].uhrazeno) << i;
        EXPECT_EQ(S(dataSet.value(i, "UhrazenoPresne")), cases[i].uhrazenoPresne) << i;
    }
    const QString v = PeriodOverviewVariables(settings, entries).text();
    EXPECT_TRUE(v.contains(QStringLiteral("|SoucetCastka|1211,25|"))) << S(v);
    EXPECT_TRUE(v.contains(QStringLiteral("|SoucetJinaMena|543,93 EUR; 99,99 USD|"))) << S(v);
    EXPECT_TRUE(v.endsWith(QStringLiteral("|SoucetUhrazeno|1210,50 CZK; 543,93 EUR; 1000,50 USD")))
        << S(v);
}

TEST_F(OverviewFixture, TotalWithoutDigitsAndLongTextsAreCut) {
    const QString longName = QString(120, QChar(0x017E)); // ž
    QMap<int, QString> lines = Lines("2026001", "", "  ", "", "CZK", "");
    lines[11] = longName;
    lines[7] = QStringLiteral("15.10.2026 navic");
    lines[1] = QString(60, QLatin1Char('9'));
    folder.writeBytes("2026/2026001.tvl", InvoiceFile(lines));
    const QList<OverviewEntry> entries =
        CollectPeriodOverview(InvoiceStore(folder.path()), settings);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(S(entries[0].Castka), "0");

    ReportDataSet dataSet;
    FillPeriodOverview(dataSet, entries, settings.VychoziMena);
    EXPECT_EQ(dataSet.value(0, "Odberatel"), longName.left(100));
    EXPECT_EQ(S(dataSet.value(0, "DatumVystaveni")), "15.10.2026");
    EXPECT_EQ(S(dataSet.value(0, "Cislo")), std::string(50, '9'));
    EXPECT_EQ(S(dataSet.value(0, "Castka")), "0");
}

TEST_F(OverviewFixture, MissingPeriodFolderIsCreatedAndGivesNoEntries) {
    settings.AktualniRok = 2031;
    ASSERT_FALSE(folder.exists("2031"));
    EXPECT_TRUE(CollectPeriodOverview(InvoiceStore(folder.path()), settings).isEmpty());
    EXPECT_TRUE(QFileInfo(folder.file("2031")).isDir());
}

TEST(PeriodOverviewVariables, HeadingAndDefaultCurrency) {
    AppSettings settings;
    settings.AktualniRok = 2026;
    settings.VychoziMena = QStringLiteral("EUR");
    EXPECT_EQ(S(PeriodOverviewVariables(settings).text()),
              "Nadpis|Evidence odeslaných faktur - rok 2026|VychoziMena|EUR"
              "|NazevSouboru|Evidence odeslaných faktur 2026");
    EXPECT_EQ(S(PeriodOverviewTitle(2026)), "Evidence odeslaných faktur - rok 2026");
    EXPECT_EQ(S(PeriodOverviewTemplate()), "Ses/PrehledFaktur.fr3");
}

} // namespace
} // namespace tarvela::test
