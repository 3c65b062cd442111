#pragma once

#include "bank/bank_statement.h"
#include "editor/invoice_book.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace tarvela {

// How a payment found its invoice.
enum class MatchRule {
    None,    // it found none
    Symbol,  // the payment's variable symbol is the invoice's
    Number,  // the payment's variable symbol is the invoice's number
    Message, // a number in the message of a payment without a symbol
    Manual   // the user chose the invoice
};

// "podle VS", "podle čísla faktury", "podle zprávy", "ručně", "".
QString MatchRuleText(MatchRule rule);

// One movement of the statements under review.
struct ReviewRow {
    BankPayment Platba;
    QString Identita;       // what the record of written payments knows it by
    bool UzZapsano = false; // written by an earlier import
    int Faktura = -1;       // the matched invoice: an index into Book(); -1 for none
    MatchRule Pravidlo = MatchRule::None;
    bool Zapsat = false; // to be written (a matched payment, until the user leaves it out)
    // Derived by the review whenever a match changes:
    qint64 UhrazenoPo = 0; // what the invoice has been paid after this payment, in haléře
    QString Stav;          // "Uhrazeno", "Částečně uhrazeno", "Přeplatek 10,00 Kč", ...
    bool Dvakrat = false;  // the invoice is matched by another written payment of this import too
    QString Poznamka;      // why a payment matched nothing, or what to look at
    QString Duvod;         // why matching found nothing (kept while the user changes the match)
};

// What writing the review does to one invoice file: lines 47 and 49.
struct InvoicePayment {
    QString FilePath;
    QString Cislo;
    QDate Datum;               // the day of the last of its payments, line 47
    qint64 UhrazenoCelkem = 0; // the total paid so far, line 49, in haléře
    QStringList Identity;      // the payments written into it
};

// The invoices' amounts in haléře (the book keeps them as numbers of crowns).
qint64 TotalHalere(const BookEntry& entry);
qint64 PaidHalere(const BookEntry& entry);

// "Uhrazeno", "Částečně uhrazeno" or "Přeplatek 10,00 Kč" (the currency's code for others).
QString PaidStatusText(qint64 total, qint64 paid, const QString& currency);

// The review of one import: every movement of the statements, the incoming payments matched to
// the unpaid and partly paid invoices of the book, and what writing them would do.
//
// Matching, for an incoming payment in the invoice's currency: its variable symbol equals an
// invoice's symbol (when invoices carry the variable symbol), else an invoice's number; a payment
// without a symbol tries the numbers in its message the same way. Of several such invoices the
// one whose outstanding amount is the payment wins, then the one due first. An invoice paid in
// full (by an earlier payment of the same import too) is not matched again; such a payment stays
// unmatched with a note. Outgoing payments, fees, interest and reversals are never matched.
class PaymentReview {
public:
    // symbolIsVariable: the invoices' line 2 is the variable symbol (else the constant one).
    PaymentReview(std::vector<BookEntry> book, bool symbolIsVariable);

    // Adds the movements of a statement and matches its new incoming payments. alreadyWritten
    // tells the identities of payments written by an earlier import.
    void AddStatement(const BankStatement& statement,
                      const std::function<bool(const QString& identity)>& alreadyWritten);

    const std::vector<BookEntry>& Book() const { return book_; }
    const std::vector<ReviewRow>& Rows() const { return rows_; }

    // Matches the row to the invoice (-1: to none) as the user chose; a matched payment is then
    // to be written. False (nothing changes) for an invoice in another currency or a movement
    // that is not a new incoming payment.
    bool SetInvoice(size_t row, int invoice);
    // Leaves the payment out of the writing, or takes it in again (only a matched one).
    void SetIncluded(size_t row, bool included);

    // The invoices the row may be matched to: unpaid or partly paid ones in the payment's
    // currency, and the one it is matched to; in the book's order.
    std::vector<int> Candidates(size_t row) const;

    // True for movements that are matched to invoices at all: new incoming payments.
    static bool IsMatchable(const ReviewRow& row);

    // What writing does: one entry per invoice, its payments summed onto what it had.
    std::vector<InvoicePayment> Writes() const;

private:
    void Match(ReviewRow& row, std::vector<qint64>& paid) const;
    int Choose(const std::vector<int>& invoices, const ReviewRow& row,
               const std::vector<qint64>& paid, QString& note) const;
    void Recompute();

    std::vector<BookEntry> book_;
    bool symbolIsVariable_;
    std::vector<ReviewRow> rows_;
    // Symbols and numbers of the invoices, both as digits without leading zeros.
    std::multimap<QString, int> bySymbol_;
    std::multimap<QString, int> byNumber_;
};

} // namespace tarvela
