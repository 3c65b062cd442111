#include "bank/payment_matching.h"

#include "book_fixtures.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <map>

namespace tarvela {
namespace {

using test::BankBookEntry;
using test::BankInvoice;

BankPayment Payment(const QString& symbol, qint64 halere, const QString& currency = "CZK",
                    const QString& message = {}, PaymentKind kind = PaymentKind::Incoming,
                    const QString& reference = {}) {
    BankPayment p;
    p.Datum = QDate(2026, 3, 20);
    p.Halere = halere;
    p.Mena = currency;
    p.Ucet = QStringLiteral("2000145399");
    p.Protiucet = QStringLiteral("19-123457/0800");
    p.Symbol = symbol;
    p.Zprava = message;
    p.Druh = kind;
    p.Reference = reference;
    return p;
}

// The book of the boundary cases: every invoice's total is 1210,00 (1000 + 21 %) unless said.
std::vector<BookEntry> Book() {
    return {
        BankBookEntry(BankInvoice("2026001", "2026001", "1000,00")),
        BankBookEntry(BankInvoice("2026002", "2026002", "1000,00", "CZK", "10.3.2026", "210,00")),
        // the same symbol in two periods: the old one paid, the new one not
        BankBookEntry(BankInvoice("2025007", "777", "1000,00", "CZK", "1.2.2025", "1210,00"), 2025),
        BankBookEntry(BankInvoice("2026007", "777", "2000,00")),
        BankBookEntry(BankInvoice("2026010", "2026010", "100,00", "EUR")),
        // marked paid by hand, with or without the amount
        BankBookEntry(BankInvoice("2026011", "2026011", "1000,00", "CZK", "18.3.2026", "1210,00")),
        BankBookEntry(BankInvoice("2026012", "2026012", "1000,00", "CZK", "18.3.2026", "")),
        // a symbol of its own: payments with the invoice's number find it by the number
        BankBookEntry(BankInvoice("2026013", "55", "1000,00")),
        // two unpaid invoices with one symbol in two periods: the exact amount, then the due date
        BankBookEntry(BankInvoice("2025020", "900", "1000,00", "CZK", {}, {}, QDate(2025, 5, 1)),
                      2025),
        BankBookEntry(BankInvoice("2026020", "900", "500,00", "CZK", {}, {}, QDate(2026, 5, 1))),
    };
}

int IndexOf(const PaymentReview& review, const QString& number) {
    for (size_t i = 0; i < review.Book().size(); ++i)
        if (review.Book()[i].Cislo == number)
            return static_cast<int>(i);
    return -1;
}

TEST(PaymentMatching, BoundaryCases) {
    struct Case {
        const char* what;
        BankPayment payment;
        const char* invoice; // "" for none
        MatchRule rule;
        const char* status;
        const char* note;
    };
    const Case cases[] = {
        {"exact", Payment("2026001", 121000), "2026001", MatchRule::Symbol, "Uhrazeno", ""},
        {"partial", Payment("2026001", 50000), "2026001", MatchRule::Symbol, "Částečně uhrazeno",
         ""},
        {"over", Payment("2026001", 122000), "2026001", MatchRule::Symbol, "Přeplatek 10,00 Kč",
         ""},
        {"second part", Payment("2026002", 100000), "2026002", MatchRule::Symbol, "Uhrazeno", ""},
        {"old period paid", Payment("777", 242000), "2026007", MatchRule::Symbol, "Uhrazeno", ""},
        {"exact amount wins", Payment("900", 60500), "2026020", MatchRule::Symbol, "Uhrazeno", ""},
        {"due first", Payment("900", 100), "2025020", MatchRule::Symbol, "Částečně uhrazeno", ""},
        {"euro", Payment("2026010", 12100, "EUR"), "2026010", MatchRule::Symbol, "Uhrazeno", ""},
        {"euro over", Payment("2026010", 12200, "EUR"), "2026010", MatchRule::Symbol,
         "Přeplatek 1,00 EUR", ""},
        {"wrong currency", Payment("2026010", 12100), "", MatchRule::None, "Nespárováno",
         "Faktura 2026010 je v měně EUR"},
        {"paid by hand", Payment("2026011", 121000), "", MatchRule::None, "Nespárováno",
         "Faktura 2026011 je již uhrazena"},
        {"paid by hand, date only", Payment("2026012", 121000), "", MatchRule::None, "Nespárováno",
         "Faktura 2026012 je již uhrazena"},
        {"by number", Payment("2026013", 121000), "2026013", MatchRule::Number, "Uhrazeno", ""},
        {"by symbol of its own", Payment("55", 121000), "2026013", MatchRule::Symbol, "Uhrazeno",
         ""},
        {"foreign, symbol in message", Payment("", 121000, "CZK", "Invoice no. 2026001, thanks"),
         "2026001", MatchRule::Message, "Uhrazeno", ""},
        {"no symbol", Payment("", 121000, "CZK", "za opravu 12"), "", MatchRule::None,
         "Nespárováno", "Platba nemá variabilní symbol"},
        {"unknown symbol", Payment("123456", 121000), "", MatchRule::None, "Nespárováno",
         "Žádná neuhrazená faktura s tímto symbolem"},
        {"outgoing", Payment("2026001", 121000, "CZK", {}, PaymentKind::Outgoing), "",
         MatchRule::None, "", ""},
        {"fee", Payment("2026001", 121000, "CZK", {}, PaymentKind::Fee), "", MatchRule::None, "",
         ""},
        {"interest", Payment("2026001", 100, "CZK", {}, PaymentKind::Interest), "", MatchRule::None,
         "", ""},
        {"reversal", Payment("2026001", 100, "CZK", {}, PaymentKind::Reversal), "", MatchRule::None,
         "", ""},
        {"zero", Payment("2026001", 0), "", MatchRule::None, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaymentReview review(Book(), true);
        review.AddStatement(BankStatement{"v", "GPC", {c.payment}}, {});
        ASSERT_EQ(review.Rows().size(), 1u);
        const ReviewRow& row = review.Rows()[0];
        EXPECT_EQ(row.Faktura, IndexOf(review, QString::fromUtf8(c.invoice)));
        EXPECT_EQ(row.Pravidlo, c.rule);
        EXPECT_EQ(row.Zapsat, row.Faktura >= 0);
        EXPECT_EQ(row.Stav, QString::fromUtf8(c.status));
        EXPECT_EQ(row.Poznamka, QString::fromUtf8(c.note));
        EXPECT_FALSE(row.Dvakrat);
        EXPECT_EQ(review.Writes().size(), row.Faktura >= 0 ? 1u : 0u);
    }
}

TEST(PaymentMatching, ConstantSymbolsAreNotVariableOnes) {
    PaymentReview review(Book(), false);
    review.AddStatement(
        BankStatement{"v", "GPC", {Payment("55", 121000), Payment("2026013", 121000)}}, {});
    EXPECT_EQ(review.Rows()[0].Faktura, -1);
    EXPECT_EQ(review.Rows()[1].Faktura, IndexOf(review, "2026013"));
    EXPECT_EQ(review.Rows()[1].Pravidlo, MatchRule::Number);
}

TEST(PaymentMatching, TwoPaymentsOfOneInvoiceAreFlaggedAndSummed) {
    PaymentReview review(Book(), true);
    BankPayment first = Payment("2026001", 60000);
    BankPayment second = Payment("2026001", 61000);
    second.Datum = QDate(2026, 3, 25);
    // paid in full by the first two: a third with the same symbol finds nothing left
    review.AddStatement(BankStatement{"v", "GPC", {first, second, Payment("2026001", 100)}}, {});
    const auto& rows = review.Rows();
    EXPECT_EQ(rows[0].Stav, QString::fromUtf8("Částečně uhrazeno"));
    EXPECT_EQ(rows[1].Stav, "Uhrazeno");
    EXPECT_TRUE(rows[0].Dvakrat && rows[1].Dvakrat);
    EXPECT_EQ(rows[0].Poznamka, QString::fromUtf8("Faktura 2026001 je spárována s více platbami"));
    EXPECT_EQ(rows[2].Faktura, -1);
    EXPECT_EQ(rows[2].Poznamka, QString::fromUtf8("Faktura 2026001 je již uhrazena"));
    auto writes = review.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].UhrazenoCelkem, 121000);
    EXPECT_EQ(writes[0].Datum, QDate(2026, 3, 25));
    EXPECT_EQ(writes[0].Identity.size(), 2);
    EXPECT_NE(writes[0].Identity[0], writes[0].Identity[1]); // alike but for the amount

    // The user leaves the second out: the first alone, no longer flagged.
    review.SetIncluded(1, false);
    EXPECT_EQ(rows[1].Stav, QString::fromUtf8("Vynecháno"));
    EXPECT_FALSE(rows[0].Dvakrat);
    writes = review.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].UhrazenoCelkem, 60000);
    EXPECT_EQ(writes[0].Datum, QDate(2026, 3, 20));

    // ...and matches the third to another invoice by hand; another currency is refused.
    const std::vector<int> candidates = review.Candidates(2);
    const int other = IndexOf(review, "2026007");
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), other), candidates.end());
    EXPECT_EQ(std::find(candidates.begin(), candidates.end(), IndexOf(review, "2026010")),
              candidates.end());
    EXPECT_EQ(std::find(candidates.begin(), candidates.end(), IndexOf(review, "2026011")),
              candidates.end());
    EXPECT_FALSE(review.SetInvoice(2, IndexOf(review, "2026010")));
    EXPECT_TRUE(review.SetInvoice(2, other));
    EXPECT_EQ(rows[2].Pravidlo, MatchRule::Manual);
    EXPECT_EQ(rows[2].Stav, QString::fromUtf8("Částečně uhrazeno"));
    EXPECT_EQ(review.Writes().size(), 2u);
    EXPECT_TRUE(review.SetInvoice(0, -1));
    EXPECT_EQ(rows[0].Stav, QString::fromUtf8("Nespárováno"));
    EXPECT_EQ(review.Writes().size(), 1u);
}

TEST(PaymentMatching, AlreadyWrittenPaymentsAreShownAndNeverMatched) {
    PaymentReview review(Book(), true);
    const BankPayment p = Payment("2026001", 121000, "CZK", {}, PaymentKind::Incoming, "R1");
    const QString written = PaymentIdentity(p);
    review.AddStatement(BankStatement{"v", "GPC", {p, Payment("2026001", 100)}},
                        [&](const QString& id) { return id == written; });
    EXPECT_TRUE(review.Rows()[0].UzZapsano);
    EXPECT_EQ(review.Rows()[0].Stav, QString::fromUtf8("Již zapsáno"));
    EXPECT_EQ(review.Rows()[0].Faktura, -1);
    EXPECT_FALSE(review.SetInvoice(0, 0));
    EXPECT_EQ(review.Rows()[1].Stav, QString::fromUtf8("Částečně uhrazeno"));
}

TEST(PaymentMatching, WritesAddUpToWhatWasPaidPlusThePaymentsRandomly) {
    // Invariant over random statements: each invoice's written total is what it had been paid
    // plus the sum of its written payments, counted independently of the review.
    QRandomGenerator random(7);
    const std::vector<BookEntry> book = Book();
    for (int round = 0; round < 50; ++round) {
        BankStatement statement{"v", "GPC", {}};
        for (int i = 0; i < 30; ++i) {
            const BookEntry& target = book[random.bounded(static_cast<int>(book.size()))];
            BankPayment p = Payment(NormalizedSymbol(target.Symbol), 1 + random.bounded(150000),
                                    random.bounded(4) == 0 ? "EUR" : "CZK");
            p.Datum = QDate(2026, 3, 1 + random.bounded(28));
            statement.Platby.push_back(p);
        }
        PaymentReview review(book, true);
        review.AddStatement(statement, {});
        for (int k = 0; k < 5; ++k)
            review.SetIncluded(random.bounded(30), false);
        std::map<int, qint64> sums;
        for (const ReviewRow& row : review.Rows()) {
            if (!row.Zapsat)
                continue;
            EXPECT_EQ(book[row.Faktura].Mena, row.Platba.Mena);
            sums[row.Faktura] += row.Platba.Halere;
        }
        const auto writes = review.Writes();
        EXPECT_EQ(writes.size(), sums.size());
        for (const InvoicePayment& w : writes) {
            const int i = IndexOf(review, w.Cislo);
            EXPECT_EQ(w.UhrazenoCelkem, PaidHalere(book[i]) + sums[i]) << w.Cislo.toStdString();
        }
    }
}

} // namespace
} // namespace tarvela
