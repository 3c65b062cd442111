#include "editor/ares_subject.h"
#include "editor/customer_book.h"
#include "editor/invoice_book.h"

#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tarvela {
namespace {

const QDate kToday(2026, 3, 20);

// An invoice with one row of `price` at 21 % (so the total is price x 1.21).
InvoiceRecord Invoice(const QString& number, const QDate& due, const QString& price,
                      const QString& paidDate = {}, const QString& paid = {},
                      const QString& currency = QStringLiteral("CZK")) {
    InvoiceRecord record;
    record.Cislo = number;
    record.DatumPlneni = record.DatumVystaveni = QDate(2026, 3, 1);
    record.DatumSplatnosti = due;
    record.OdberatelNazev1 = QStringLiteral("Řeznictví Šťastný");
    record.OdberatelIC = QStringLiteral("25596641");
    record.Polozky[0] = {QStringLiteral("A1"),
                         QStringLiteral("Oprava"),
                         QStringLiteral("ks"),
                         QStringLiteral("1"),
                         price,
                         QStringLiteral("21")};
    record.Uhrnem = QStringLiteral("999,99"); // stale: the book computes the rows
    record.DatumUhrady = paidDate;
    record.Mena = currency;
    record.UhrazenaCastka = paid;
    return record;
}

BookEntry Entry(const InvoiceRecord& record) {
    return ReadBookEntry(InvoiceFileBytes(record), record.Cislo + ".tvl", 2026, VatRates{},
                         QStringLiteral("CZK"));
}

TEST(InvoiceBook, StatusOnTheBoundaryDays) {
    struct Case {
        InvoiceRecord record;
        PaymentState state;
        const char* text;
    };
    const QDate yesterday = kToday.addDays(-1);
    const Case cases[] = {
        {Invoice("1", kToday, "100,00"), PaymentState::Unpaid, "Neuhrazeno"},
        {Invoice("2", yesterday, "100,00"), PaymentState::Overdue, "Po splatnosti 1 den"},
        {Invoice("3", kToday.addDays(-3), "100,00"), PaymentState::Overdue, "Po splatnosti 3 dny"},
        {Invoice("4", kToday.addDays(-12), "100,00"), PaymentState::Overdue,
         "Po splatnosti 12 dní"},
        // paid late, in full: paid
        {Invoice("5", kToday.addDays(-10), "100,00", "19.3.2026", "121,00"), PaymentState::Paid,
         "Uhrazeno"},
        // the editor's dot and a payment date without an amount: paid in full
        {Invoice("6", yesterday, "100,00", "19.3.2026", "121.00"), PaymentState::Paid, "Uhrazeno"},
        {Invoice("7", yesterday, "100,00", "19.3.2026", ""), PaymentState::Paid, "Uhrazeno"},
        {Invoice("8", kToday, "100,00", "19.3.2026", "50"), PaymentState::PartlyPaid,
         "Částečně uhrazeno"},
        {Invoice("9", yesterday, "100,00", "19.3.2026", "50"), PaymentState::Overdue,
         "Po splatnosti 1 den"},
        {Invoice("10", yesterday, "100,00", "", "", "EUR"), PaymentState::Overdue,
         "Po splatnosti 1 den"},
        // a credit note owes nothing
        {Invoice("11", yesterday, "-100,00"), PaymentState::Paid, "Uhrazeno"},
    };
    for (const Case& c : cases) {
        const BookStatus status = EntryStatus(Entry(c.record), kToday);
        EXPECT_EQ(status.State, c.state) << c.record.Cislo.toStdString();
        EXPECT_EQ(status.Text, QString::fromUtf8(c.text)) << c.record.Cislo.toStdString();
    }
}

TEST(InvoiceBook, EntryReadsTotalFromRowsAndPaymentLines) {
    const BookEntry entry =
        Entry(Invoice("2026007", kToday, "1000,00", "19.3.2026", "500,50", QStringLiteral("EUR")));
    EXPECT_EQ(entry.Cislo, "2026007");
    EXPECT_EQ(entry.Celkem, 121000);
    EXPECT_EQ(entry.Uhrazeno, 50050);
    EXPECT_EQ(Outstanding(entry), 70950);
    EXPECT_EQ(entry.Mena, "EUR");
    EXPECT_EQ(entry.Splatnost, kToday);
    EXPECT_EQ(entry.Uhrada, QDate(2026, 3, 19));
    // rows that do not compute fall back to the stored total
    InvoiceRecord broken = Invoice("2026008", kToday, "abc");
    EXPECT_EQ(Entry(broken).Celkem, 99999);
}

TEST(InvoiceBook, FilterAndSumsPerCurrency) {
    const std::vector<BookEntry> book = {
        Entry(Invoice("2026001", kToday.addDays(-5), "100,00")),
        Entry(Invoice("2026002", kToday, "200,00", "1.3.2026", "100")),
        Entry(Invoice("2026003", kToday, "10,00", "", "", "EUR")),
        Entry(Invoice("2026004", kToday, "100,00", "1.3.2026", "121")),
    };
    auto count = [&](const QString& text, StatusFilter filter) {
        return std::count_if(book.begin(), book.end(), [&](const BookEntry& e) {
            return MatchesBookFilter(e, text, filter, kToday);
        });
    };
    EXPECT_EQ(count("", StatusFilter::All), 4);
    EXPECT_EQ(count("", StatusFilter::Overdue), 1);
    EXPECT_EQ(count("", StatusFilter::Unsettled), 3);
    EXPECT_EQ(count("", StatusFilter::Paid), 1);
    EXPECT_EQ(count("003", StatusFilter::All), 1);
    EXPECT_EQ(count("stastny", StatusFilter::All), 4); // without regard to case and accents
    EXPECT_EQ(count("255966", StatusFilter::Overdue), 1);
    EXPECT_EQ(count("nikdo", StatusFilter::All), 0);

    std::vector<const BookEntry*> all;
    for (const BookEntry& e : book)
        all.push_back(&e);
    const auto sums = SumsPerCurrency(all);
    ASSERT_EQ(sums.size(), 2u);
    EXPECT_EQ(sums.at("CZK").Celkem, (121 + 242 + 121) * 100);
    EXPECT_EQ(sums.at("CZK").Uhrazeno, (100 + 121) * 100);
    EXPECT_EQ(sums.at("CZK").Zbyva, (121 + 142) * 100);
    EXPECT_EQ(sums.at("EUR").Zbyva, 1210);
    // invariant: total = paid + outstanding when nothing is overpaid
    for (const auto& [currency, sum] : sums)
        EXPECT_EQ(sum.Celkem, sum.Uhrazeno + sum.Zbyva) << currency.toStdString();
}

TEST(InvoiceBook, PaymentRewritesOnlyLines47And49) {
    InvoiceRecord record = Invoice("2026001", kToday, "100,00");
    record.Kurz = QStringLiteral("25,10");
    record.DalsiRadky = QStringList{QStringLiteral("Neznamy=ř")};
    const QByteArray before = InvoiceFileBytes(record);
    const QByteArray after = WithPayment(before, QStringLiteral("20.3.2026"), "121,00");
    QList<QByteArray> a = before.split('\n'), b = after.split('\n');
    ASSERT_EQ(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i) {
        if (i == 46)
            EXPECT_EQ(b[i], "20.3.2026\r");
        else if (i == 48)
            EXPECT_EQ(b[i], "121,00\r");
        else
            EXPECT_EQ(a[i], b[i]) << "line " << i + 1;
    }
    // lone LF endings stay, a short file is padded to 49 lines with CR LF
    EXPECT_EQ(WithPayment(QByteArray("a\nb"), "1.1.2026", "5,00"),
              QByteArray("a\nb\r\n") + QByteArray("\r\n").repeated(44) +
                  "1.1.2026\r\n\r\n5,00\r\n");

    test::TempProgramFolder folder;
    folder.writeBytes("2026/2026001.tvl", before);
    MarkInvoicePaid(folder.file("2026/2026001.tvl"), QDate(2026, 3, 20), 12100);
    EXPECT_EQ(folder.readBytes("2026/2026001.tvl"), after);
    EXPECT_THROW(MarkInvoicePaid(folder.file("2026/nic.tvl"), kToday, 1), FileError);
}

TEST(InvoiceBook, Plurals) {
    EXPECT_EQ(OverdueNotice(1), "1 faktura je po splatnosti");
    EXPECT_EQ(OverdueNotice(2), "2 faktury jsou po splatnosti");
    EXPECT_EQ(OverdueNotice(4), "4 faktury jsou po splatnosti");
    EXPECT_EQ(OverdueNotice(5), QString::fromUtf8("5 faktur je po splatnosti"));
    EXPECT_EQ(OverdueText(5), QString::fromUtf8("Po splatnosti 5 dní"));
}

CustomerFields Customer(const QString& code, const QString& name, const QString& ic,
                        const QString& town = QStringLiteral("Brno")) {
    CustomerFields fields;
    fields[kKod] = code;
    fields[kNazev1] = name;
    fields[kIC] = ic;
    fields[kMesto] = town;
    return fields;
}

TEST(CustomerBook, MergeByCodeElseICElseNameNewestWins) {
    CustomerBookBuilder builder;
    builder.add(Customer("K1", "Alfa", "11111111"), QDate(2025, 5, 1), 2025, "2025001.tvl");
    builder.add(Customer("K1", "Alfa nová", "22222222"), QDate(2026, 1, 2), 2026, "2026001.tvl");
    builder.add(Customer("K1", "Alfa stará", ""), QDate(2024, 1, 2), 2024, "2024001.tvl");
    builder.add(Customer("", "Beta", "25596641"), QDate(2026, 2, 1), 2026, "2026002.tvl");
    builder.add(Customer("", "Beta s.r.o.", "25596641"), QDate(2026, 2, 3), 2026, "2026003.tvl");
    builder.add(Customer("", "Gama", ""), QDate(2026, 2, 1), 2026, "2026004.tvl");
    builder.add(Customer("", " gama ", ""), QDate(2026, 1, 1), 2026, "2026005.tvl");
    builder.add(Customer("", "", ""), QDate(2026, 1, 1), 2026, "2026006.tvl");
    const std::vector<CustomerEntry> book = builder.take();
    ASSERT_EQ(book.size(), 3u);
    EXPECT_EQ(book[0].Fields[kNazev1], QString::fromUtf8("Alfa nová"));
    EXPECT_EQ(book[0].PocetFaktur, 3);
    EXPECT_EQ(book[0].PosledniFaktura, QDate(2026, 1, 2));
    EXPECT_EQ(book[1].Fields[kNazev1], "Beta s.r.o.");
    EXPECT_EQ(book[1].PocetFaktur, 2);
    EXPECT_EQ(book[2].Fields[kNazev1], "Gama");
    EXPECT_EQ(book[2].PocetFaktur, 2);

    EXPECT_TRUE(MatchesCustomerSearch(book[0], QStringLiteral("NOVA")));
    EXPECT_TRUE(MatchesCustomerSearch(book[1], QStringLiteral("2559")));
    EXPECT_TRUE(MatchesCustomerSearch(book[2], QStringLiteral("brn")));
    EXPECT_FALSE(MatchesCustomerSearch(book[2], QStringLiteral("Praha")));
}

TEST(CustomerBook, ReadsAllPeriodsOfTheStore) {
    test::TempProgramFolder folder;
    InvoiceRecord a = Invoice("2025001", kToday, "1,00");
    a.OdberatelKod = "K7";
    a.DatumVystaveni = QDate(2025, 6, 1);
    InvoiceRecord b = a;
    b.Cislo = "2026001";
    b.DatumVystaveni = QDate(2026, 1, 5);
    b.OdberatelMesto = QString::fromUtf8("Třebíč");
    folder.writeBytes("2025/2025001.tvl", InvoiceFileBytes(a));
    folder.writeBytes("2026/2026001.tvl", InvoiceFileBytes(b));
    int calls = 0;
    const auto book = ReadCustomerBook(InvoiceStore(folder.path()), [&] { ++calls; });
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].PocetFaktur, 2);
    EXPECT_EQ(book[0].Fields[kMesto], QString::fromUtf8("Třebíč"));
    EXPECT_EQ(book[0].Year, 2026);
}

TEST(CustomerBook, ICAndDICChecks) {
    for (const char* ic : {"25596641", "27074358", "00177041", "4527 1810"})
        EXPECT_TRUE(IsValidIC(ic)) << ic;
    for (const char* ic : {"25596642", "2559664", "255966411", "2559664a", ""})
        EXPECT_FALSE(IsValidIC(ic)) << ic;
    for (const char* dic : {"CZ25596641", "CZ8512090895", "CZ123456789"})
        EXPECT_TRUE(IsValidDIC(dic)) << dic;
    for (const char* dic : {"25596641", "CZ1234567", "CZ12345678901", "SK2020123456", "CZ12a45678"})
        EXPECT_FALSE(IsValidDIC(dic)) << dic;
    EXPECT_TRUE(ICWarning("").isEmpty());
    EXPECT_TRUE(ICWarning("25596641").isEmpty());
    EXPECT_TRUE(ICWarning("12345678").contains(QString::fromUtf8("IČ „12345678“")));
    EXPECT_TRUE(DICWarning("CZ1").contains(QString::fromUtf8("DIČ „CZ1“")));
}

TEST(AresSubject, ParsesTheRegistersShape) {
    const QByteArray found = R"({"ico":"27074358","obchodniJmeno":"Asseco Central Europe, a.s.",
        "sidlo":{"kodStatu":"CZ","nazevObce":"Praha","nazevMestskeCastiObvodu":"Praha 4",
        "nazevCastiObce":"Michle","nazevUlice":"Budějovická","cisloDomovni":778,
        "cisloOrientacni":3,"cisloOrientacniPismeno":"a","psc":14000,
        "textovaAdresa":"Budějovická 778/3a, Michle, 14000 Praha 4"},"dic":"CZ27074358"})";
    AresSubject subject;
    ASSERT_EQ(ParseAresSubject(found, subject), AresAnswer::Found);
    EXPECT_EQ(subject, (AresSubject{"27074358", "Asseco Central Europe, a.s.",
                                    QString::fromUtf8("Budějovická 778/3a"), "140 00", "Praha 4",
                                    "CZ27074358"}));
    // a village without streets, no DIČ
    ASSERT_EQ(ParseAresSubject(R"({"ico":"00177041","obchodniJmeno":"Obec",
        "sidlo":{"nazevObce":"Lhota","cisloDomovni":12,"psc":79401}})",
                               subject),
              AresAnswer::Found);
    EXPECT_EQ(subject.UliceCislo, "Lhota 12");
    EXPECT_EQ(subject.DIC, "");

    AresSubject untouched = subject;
    EXPECT_EQ(ParseAresSubject(R"({"kod":"NENALEZENO","popis":"nenalezen"})", untouched),
              AresAnswer::NotFound);
    for (const char* body : {"", "<html>", "[1,2]", R"({"kod":"CHYBA_VSTUPU"})", R"({"ico":"1"})",
                             R"({"ico":"27074358","obchodniJmeno":"A")"})
        EXPECT_EQ(ParseAresSubject(body, untouched), AresAnswer::Malformed) << body;
    EXPECT_EQ(untouched, subject);
    EXPECT_EQ(AresSubjectPath("177041"),
              "/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/00177041");
}

} // namespace
} // namespace tarvela
